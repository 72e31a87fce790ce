# Installs lattix into a scratch prefix and builds programs against it.
# cmake -DSTEP=install|find_package|pkg_config -DBUILD_DIR= -DSOURCE_DIR= -DWORK_DIR=
#       -DLIBDIR= -DINCLUDEDIR= -DGENERATOR= -DC_COMPILER= -DC_FLAGS= -P package_test.cmake
cmake_minimum_required(VERSION 3.25)
set(PREFIX ${WORK_DIR}/prefix)
set(CONSUMER ${CMAKE_CURRENT_LIST_DIR}/consumer)
separate_arguments(C_FLAGS_LIST UNIX_COMMAND "${C_FLAGS}")

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  message("${out}${err}")
  if(NOT rc EQUAL 0)
    list(JOIN ARGN " " line)
    message(FATAL_ERROR "failed (${rc}): ${line}")
  endif()
  set(run_output "${out}" PARENT_SCOPE)
endfunction()

if(STEP STREQUAL "install")
  file(REMOVE_RECURSE ${PREFIX})
  run(${CMAKE_COMMAND} --install ${BUILD_DIR} --component lattix --prefix ${PREFIX})
  set(expected
    ${INCLUDEDIR}/lattix/lattixLib.h
    ${INCLUDEDIR}/lattix/lattixtype.h
    ${LIBDIR}/liblattix.so
    ${LIBDIR}/liblattix.so.0
    ${LIBDIR}/cmake/lattix/lattixConfig.cmake
    ${LIBDIR}/cmake/lattix/lattixConfigVersion.cmake
    ${LIBDIR}/cmake/lattix/lattixTargets.cmake
    ${LIBDIR}/pkgconfig/lattix.pc)
  foreach(f ${expected})
    if(NOT EXISTS ${PREFIX}/${f})
      message(FATAL_ERROR "not installed: ${f}")
    endif()
  endforeach()
  # The component is the library alone: no program, plugin or setup data.
  file(GLOB_RECURSE installed RELATIVE ${PREFIX} ${PREFIX}/*)
  foreach(f ${installed})
    if(NOT f MATCHES "^(${INCLUDEDIR}/lattix/|${LIBDIR}/)")
      message(FATAL_ERROR "component lattix installed ${f}")
    endif()
  endforeach()
  # Nothing installed names the tree it was built in.
  foreach(f ${installed})
    if(f MATCHES "\\.(cmake|pc|h)$")
      file(READ ${PREFIX}/${f} text)
      foreach(tree ${BUILD_DIR} ${SOURCE_DIR})
        string(FIND "${text}" "${tree}" at)
        if(NOT at EQUAL -1)
          message(FATAL_ERROR "${f} names ${tree}")
        endif()
      endforeach()
    endif()
  endforeach()
  execute_process(COMMAND readelf -d ${PREFIX}/${LIBDIR}/liblattix.so.0 OUTPUT_VARIABLE dyn)
  string(FIND "${dyn}" "${BUILD_DIR}" at)
  if(NOT at EQUAL -1)
    message(FATAL_ERROR "installed liblattix.so.0 keeps a run path into ${BUILD_DIR}")
  endif()

elseif(STEP STREQUAL "find_package")
  set(bin ${WORK_DIR}/find_package)
  file(REMOVE_RECURSE ${bin})
  run(${CMAKE_COMMAND} -S ${CONSUMER} -B ${bin} -G ${GENERATOR}
    -DCMAKE_C_COMPILER=${C_COMPILER} "-DCMAKE_C_FLAGS=${C_FLAGS}"
    -DCMAKE_PREFIX_PATH=${PREFIX} -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF)
  run(${CMAKE_COMMAND} --build ${bin})
  run(${bin}/consumer)

elseif(STEP STREQUAL "pkg_config")
  set(ENV{PKG_CONFIG_PATH} ${PREFIX}/${LIBDIR}/pkgconfig)
  set(ENV{PKG_CONFIG_LIBDIR} ${PREFIX}/${LIBDIR}/pkgconfig)
  run(pkg-config --modversion lattix)
  string(STRIP "${run_output}" version)
  if(NOT version STREQUAL PROJECT_VERSION)
    message(FATAL_ERROR "lattix.pc says ${version}, the project is ${PROJECT_VERSION}")
  endif()
  run(pkg-config --cflags --libs lattix)
  separate_arguments(flags UNIX_COMMAND "${run_output}")
  set(exe ${WORK_DIR}/pkg_config_consumer)
  file(REMOVE ${exe})
  run(${C_COMPILER} ${C_FLAGS_LIST} ${CONSUMER}/consumer.c ${flags} -lm -o ${exe})
  set(ENV{LD_LIBRARY_PATH} ${PREFIX}/${LIBDIR})
  run(${exe})

else()
  message(FATAL_ERROR "unknown STEP '${STEP}'")
endif()
