# Builds one locale into a folder; a failure only leaves the folder without it.
execute_process(COMMAND ${LOCALEDEF} -i de_DE -f UTF-8 ${LOCALE_DIR}/de_DE.UTF-8 OUTPUT_QUIET ERROR_QUIET)
file(TOUCH ${LOCALE_DIR}/stamp)
