# Run at build time over the window-free libraries' sources: a source that reaches Qt Widgets
# fails the build, so the rule holds on every build and not only when CMake configures.
# Input: SOURCES (a ;-list of files), STAMP (written when all sources pass).
foreach(source ${SOURCES})
    file(STRINGS ${source} widget_includes
        REGEX "#include[ \t]*<(QtWidgets|QtPrintSupport|QWidget|QDialog|QMainWindow|QApplication|QMessageBox|QPrinter)")
    if(widget_includes)
        message(FATAL_ERROR "${source} includes a Widgets header; only src/gui may use Qt Widgets")
    endif()
endforeach()
file(TOUCH ${STAMP})
