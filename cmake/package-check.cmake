# Run by CPack before it builds the Debian package: the package's Depends come from
# dpkg-shlibdeps (Debian: dpkg-dev), which needs file; without them CPack would build a
# package that depends on nothing.
foreach(tool dpkg-shlibdeps file)
  find_program(found_${tool} ${tool})
  if(NOT found_${tool})
    message(FATAL_ERROR "the package needs ${tool} (Debian: dpkg-dev and file) to work out its "
                        "dependencies; install it and run the package step again")
  endif()
endforeach()
