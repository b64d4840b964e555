# Builds the Debian package of the build in BUILD_DIR into a scratch folder and checks
# that it holds the programs, the data files and the dependencies a fresh system needs.
set(out ${BUILD_DIR}/deb-check)
include(${CMAKE_CURRENT_LIST_DIR}/BuildDebPackage.cmake)
execute_process(COMMAND ${DPKG_DEB} -c ${debs} OUTPUT_VARIABLE files RESULT_VARIABLE rc)
execute_process(COMMAND ${DPKG_DEB} -f ${debs} Depends OUTPUT_VARIABLE depends)
message("${files}\nDepends: ${depends}")
foreach(path
    ./usr/bin/quorlet3 ./usr/bin/quorlet3-report ./usr/share/quorlet3/sample.log
    ./usr/share/applications/io.github.quorlet3.Quorlet3.desktop
    ./usr/share/icons/hicolor/scalable/apps/io.github.quorlet3.Quorlet3.svg
    ./usr/share/icons/hicolor/48x48/apps/io.github.quorlet3.Quorlet3.png
    ./usr/share/man/man1/quorlet3.1.gz ./usr/share/man/man1/quorlet3-report.1.gz
    ./usr/share/man/ja/man1/quorlet3.1.gz
    ./usr/share/doc/quorlet3/copyright ./usr/share/doc/quorlet3/changelog.gz)
  string(FIND "${files}" " ${path}\n" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the package lacks ${path}")
  endif()
endforeach()
foreach(package libqt6widgets6 qt6-qpa-plugins qt6-translations-l10n fonts-ipafont-gothic fonts-symbola)
  string(FIND "${depends}" "${package}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the package does not depend on ${package}")
  endif()
endforeach()
# No path of the build may be compiled into an installed program.
get_filename_component(source_dir ${CMAKE_CURRENT_LIST_DIR} DIRECTORY)
execute_process(COMMAND ${DPKG_DEB} --fsys-tarfile ${debs} OUTPUT_FILE ${out}/files.tar)
file(MAKE_DIRECTORY ${out}/root)
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${out}/files.tar WORKING_DIRECTORY ${out}/root)
foreach(program quorlet3 quorlet3-report)
  file(STRINGS ${out}/root/usr/bin/${program} leaked REGEX "${BUILD_DIR}|${source_dir}")
  if(leaked)
    message(FATAL_ERROR "${program} holds a path of the build: ${leaked}")
  endif()
endforeach()
file(REMOVE_RECURSE ${out})
