# Puts the default preference files beside the program unless the user's own
# are already there, and refreshes the help documents.
file(COPY ${SRC}/Help ${SRC}/Tutorial DESTINATION ${DST})
foreach(f Pref.PRF WorkDir.DIR)
  if(NOT EXISTS ${DST}/${f})
    file(COPY ${SRC}/defaults/${f} DESTINATION ${DST})
  endif()
endforeach()
file(MAKE_DIRECTORY ${DST}/Data)
