# Installs the demo under share/deskhaven/demo with its placeholders filled in: the help
# book, pictures and character are the installed ones, the programs the installed ones.
set(share "${CMAKE_INSTALL_PREFIX}/${DH_DATADIR}")
set(dest "$ENV{DESTDIR}${share}")
file(COPY "${DH_DEMO_SOURCE}/" DESTINATION "${dest}/demo"
     PATTERN "deskhaven.reg" EXCLUDE PATTERN "*.sh" EXCLUDE PATTERN "*.py" EXCLUDE
     PATTERN "character" EXCLUDE PATTERN "help" EXCLUDE PATTERN "pictures" EXCLUDE)

function(fill_in in out)
  file(READ "${in}" text)
  foreach(shared help pictures character)
    string(REPLACE "@DEMO@/${shared}" "${share}/${shared}" text "${text}")
  endforeach()
  string(REPLACE "@DEMO@" "${share}/demo" text "${text}")
  string(REPLACE "@BIN@" "${CMAKE_INSTALL_PREFIX}/${DH_BINDIR}" text "${text}")
  file(WRITE "${out}" "${text}")
endfunction()

file(GLOB_RECURSE entries "${dest}/demo/*.desktop")
foreach(entry ${entries})
  fill_in("${entry}" "${entry}")
endforeach()
fill_in("${DH_DEMO_SOURCE}/deskhaven.reg" "${dest}/deskhaven-demo.reg")
message(STATUS "Installing: ${dest}/demo and ${dest}/deskhaven-demo.reg")
