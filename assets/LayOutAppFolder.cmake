# Lays out the application folder beside the built program. Program files are refreshed on
# every build; the user's password files and security log are never overwritten.
file(MAKE_DIRECTORY ${APP_DIR}/graphics)
file(GLOB cues ${SOURCE_DIR}/assets/graphics/*.wav)
file(COPY ${cues} DESTINATION ${APP_DIR}/graphics)
file(GLOB helpFiles ${SOURCE_DIR}/assets/help/*.hlp)
if(helpFiles)
  file(COPY ${helpFiles} DESTINATION ${APP_DIR})
endif()
# The password files are readable by their owner alone: a +5 shift is no secret.
foreach(passwordFile orvpass1.txt orvpass2.txt)
  if(NOT EXISTS ${APP_DIR}/${passwordFile})
    file(COPY ${SOURCE_DIR}/assets/first-passwords/${passwordFile} DESTINATION ${APP_DIR}
         FILE_PERMISSIONS OWNER_READ OWNER_WRITE)
  endif()
endforeach()
