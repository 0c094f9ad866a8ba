# Installing the tools on a POSIX system (`cmake --install build/release
# --prefix P`, `make install`, `make deb`): the programs in P/bin, their
# manual pages in P/share/man/man1, KivSetup.exe from the Windows build in
# P/share/kivsetup, where an installed kivpack finds it, and the copyright
# file and changelog in P/share/doc/kivsetup.
include(GNUInstallDirs)

# Each tool's manual page is made from its own --help and --version by
# help2man, so that the page and the help say the same.
find_program(KIV_HELP2MAN help2man)
if(NOT KIV_HELP2MAN)
  message(FATAL_ERROR "help2man is missing (it makes the tools' manual pages): run 'make deps'")
endif()
# The pages carry the date of the commit they are built from, not of the build.
execute_process(COMMAND git log -1 --format=%ct WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                OUTPUT_VARIABLE KIV_SOURCE_DATE OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
if(NOT KIV_SOURCE_DATE)
  set(KIV_SOURCE_DATE 0)
endif()

# Who answers for the package: the .deb's Maintainer and the changelog's
# signature. A repository that ships the .deb names its own (README: "The tools
# on Linux"); the default is a placeholder at a domain kept for examples.
set(KIV_MAINTAINER "KivSetup developers <kivsetup@example.org>" CACHE STRING
    "The Debian package's maintainer, as: Name <address>")

set(KIV_TOOL_SUMMARY_kivcheck "show what KivSetup.exe will read from a package and do with it")
set(KIV_TOOL_SUMMARY_kivinstall "install a KivSetup package without its dialog")
set(KIV_TOOL_SUMMARY_kivpack "make a KivSetup package from a directory tree")
set(pages)
foreach(tool kivcheck kivinstall kivpack)
  if(NOT TARGET ${tool})
    continue()
  endif()
  # The page is compressed as Debian's tools compress it: gzip -9n, which
  # stores neither the file's name nor its time.
  set(page ${CMAKE_BINARY_DIR}/man/${tool}.1)
  add_custom_command(OUTPUT ${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${KIV_SOURCE_DATE}
            ${KIV_HELP2MAN} --no-info --section=1 "--name=${KIV_TOOL_SUMMARY_${tool}}"
            --output=${page} $<TARGET_FILE:${tool}>
    COMMAND gzip -9nf ${page}
    DEPENDS ${tool}
    COMMENT "Manual page of ${tool}")
  list(APPEND pages ${page}.gz)
  install(TARGETS ${tool} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # The compilers' version strings (.comment) are of no use in an installed
  # program, and strip keeps them: they are taken out of the installed file.
  install(CODE "execute_process(COMMAND ${CMAKE_OBJCOPY} --remove-section=.comment
    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${tool}\" COMMAND_ERROR_IS_FATAL ANY)")
endforeach()
install(FILES ${pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The copyright file (machine-readable, packaging/copyright) and the changelog,
# dated by the commit (string(TIMESTAMP) takes SOURCE_DATE_EPOCH) and compressed
# as the pages are. The package's version is the project's, with no Debian
# revision: a native package, whose changelog Debian names changelog.gz.
set(ENV{SOURCE_DATE_EPOCH} ${KIV_SOURCE_DATE})
string(TIMESTAMP KIV_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
set(changelog ${CMAKE_BINARY_DIR}/doc/changelog)
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${changelog} @ONLY)
add_custom_command(OUTPUT ${changelog}.gz COMMAND gzip -9nkf ${changelog} DEPENDS ${changelog})
add_custom_target(kiv_documentation ALL DEPENDS ${pages} ${changelog}.gz)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${changelog}.gz
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/kivsetup)

# KivSetup.exe comes from the Windows build, made beside this one.
set(KIV_INSTALLER_EXE ${PROJECT_SOURCE_DIR}/build/windows/KivSetup.exe CACHE FILEPATH
    "The KivSetup.exe installed with the tools, for kivpack to put into packages")
install(CODE "if(NOT EXISTS \"${KIV_INSTALLER_EXE}\")
  message(FATAL_ERROR \"${KIV_INSTALLER_EXE} is not built: build it first ('make windows')\")
endif()")
install(FILES ${KIV_INSTALLER_EXE} DESTINATION ${CMAKE_INSTALL_DATADIR}/kivsetup)

# make deb: a Debian package of the same files.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kivsetup)
set(CPACK_PACKAGE_VENDOR KivSetup)
set(CPACK_PACKAGE_CONTACT ${KIV_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tools for KivSetup packages: check, install and make them")
set(CPACK_PACKAGE_DESCRIPTION "kivcheck shows what KivSetup.exe will read from a package and do with it,
kivinstall installs a package without its dialog (also natively on Linux),
and kivpack makes a package from a directory tree, with KivSetup.exe in it.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/deb)
# Every file in the .deb, and the .deb's own members, carry the commit's time,
# not the build's, so that every build of a commit gives the same .deb.
file(WRITE ${CMAKE_BINARY_DIR}/CPackSourceDate.cmake "set(ENV{SOURCE_DATE_EPOCH} ${KIV_SOURCE_DATE})\n")
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/CPackSourceDate.cmake)
include(CPack)
