# Writes <folder>/qt.conf, naming the paths Qt was built with as qmake6
# -query reports them, and <folder>/qtconf.qrc, which puts it where Qt looks
# for a qt.conf of the program's own (":/qt/etc/qt.conf"). Sets out_found
# to FALSE when qmake6 cannot be asked.
function(lumivex_write_qt_conf folder out_found)
  find_program(LUMIVEX_QMAKE NAMES qmake6 qmake HINTS "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}")
  set(${out_found} FALSE PARENT_SCOPE)
  if(NOT LUMIVEX_QMAKE)
    message(WARNING "qmake6 not found: the program reads a qt.conf beside it unchecked")
    return()
  endif()
  execute_process(COMMAND ${LUMIVEX_QMAKE} -query OUTPUT_VARIABLE query RESULT_VARIABLE failed)
  if(failed)
    message(WARNING "qmake6 -query failed: the program reads a qt.conf beside it unchecked")
    return()
  endif()
  string(REPLACE "\n" ";" lines "${query}")
  foreach(line IN LISTS lines)
    if(line MATCHES "^([A-Z_]+):(.*)$")
      set(query_${CMAKE_MATCH_1} "${CMAKE_MATCH_2}")
    endif()
  endforeach()
  # Qt's own default on Unix, which the query leaves empty.
  if(NOT query_QT_INSTALL_CONFIGURATION)
    set(query_QT_INSTALL_CONFIGURATION /etc/xdg)
  endif()
  set(text "[Paths]\n")
  foreach(pair Prefix=PREFIX Documentation=DOCS Headers=HEADERS Libraries=LIBS LibraryExecutables=LIBEXECS
               Binaries=BINS Plugins=PLUGINS QmlImports=QML ArchData=ARCHDATA Data=DATA
               Translations=TRANSLATIONS Examples=EXAMPLES Tests=TESTS Settings=CONFIGURATION)
    string(REPLACE "=" ";" pair "${pair}")
    list(GET pair 0 key)
    list(GET pair 1 name)
    string(APPEND text "${key}=${query_QT_INSTALL_${name}}\n")
  endforeach()
  file(CONFIGURE OUTPUT ${folder}/qt.conf CONTENT "${text}")
  file(CONFIGURE OUTPUT ${folder}/qtconf.qrc
       CONTENT "<RCC><qresource prefix=\"/qt/etc\"><file>qt.conf</file></qresource></RCC>\n")
  set(${out_found} TRUE PARENT_SCOPE)
endfunction()
