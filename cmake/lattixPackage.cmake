# Package files of the lattix library: a CMake package (lattixConfig.cmake,
# its version file, the exported target lattix::lattix) and lattix.pc.
include(CMakePackageConfigHelpers)

set(LATTIX_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/lattix)
install(EXPORT lattixTargets NAMESPACE lattix:: DESTINATION ${LATTIX_CMAKE_DIR} COMPONENT lattix)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/lattixConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/lattixConfig.cmake INSTALL_DESTINATION ${LATTIX_CMAKE_DIR})
# Before 1.0 a minor release may change the interface, so 0.2.x accepts
# requests for 0.2 and 0.2.y only.
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/lattixConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/lattixConfig.cmake
  ${CMAKE_CURRENT_BINARY_DIR}/lattixConfigVersion.cmake
  DESTINATION ${LATTIX_CMAKE_DIR} COMPONENT lattix)

# lattix.pc finds its prefix from its own folder, so an installed tree can be
# moved (or installed with --prefix) and still points at itself.
if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}")
  set(_lattix_pc_prefix "${CMAKE_INSTALL_PREFIX}")
  set(_lattix_pc_libdir "${CMAKE_INSTALL_LIBDIR}")
else()
  file(RELATIVE_PATH _lattix_pc_up "/root/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/root")
  string(REGEX REPLACE "/$" "" _lattix_pc_up "${_lattix_pc_up}")
  set(_lattix_pc_prefix "\${pcfiledir}/${_lattix_pc_up}")
  set(_lattix_pc_libdir "\${prefix}/${CMAKE_INSTALL_LIBDIR}")
endif()
if(IS_ABSOLUTE "${CMAKE_INSTALL_INCLUDEDIR}")
  set(_lattix_pc_includedir "${CMAKE_INSTALL_INCLUDEDIR}")
else()
  set(_lattix_pc_includedir "\${prefix}/${CMAKE_INSTALL_INCLUDEDIR}")
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/lattix.pc.in ${CMAKE_CURRENT_BINARY_DIR}/lattix.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/lattix.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT lattix)
