# Wayland for the Linux platform, optional like xcb: libwayland-client's
# headers (the library is loaded at run time, wayland_library.cpp), and the
# client code of every protocol the tool speaks (the core one, xdg-output for
# logical sizes and names, KDE's output order for the primary output),
# generated from their XML at build time by wayland-scanner and compiled as C
# (enabled at the top level); and sd-bus's headers (libsystemd), for mutter's
# D-Bus side.
# Sets LSSCREENS_WAYLAND and, when ON, the target lsscreens_wayland_protocols.
set(LSSCREENS_WAYLAND OFF)
pkg_check_modules(WAYLAND_CLIENT IMPORTED_TARGET wayland-client>=1.20)
pkg_check_modules(WAYLAND_SCANNER wayland-scanner)
pkg_check_modules(WAYLAND_PROTOCOLS wayland-protocols)
pkg_check_modules(SYSTEMD libsystemd)
find_package(PlasmaWaylandProtocols CONFIG QUIET)
set(wayland_core_dir /usr/share/wayland)
if(WAYLAND_SCANNER_FOUND)
  pkg_get_variable(wayland_scanner wayland-scanner wayland_scanner)
  pkg_get_variable(wayland_scanner_data wayland-scanner pkgdatadir)
  if(wayland_scanner_data)
    set(wayland_core_dir "${wayland_scanner_data}")
  endif()
endif()
if(WAYLAND_PROTOCOLS_FOUND)
  pkg_get_variable(wayland_protocols_dir wayland-protocols pkgdatadir)
endif()
set(wayland_protocol_files
  "${wayland_core_dir}/wayland.xml"
  "${wayland_protocols_dir}/unstable/xdg-output/xdg-output-unstable-v1.xml"
  "${PLASMA_WAYLAND_PROTOCOLS_DIR}/kde-output-order-v1.xml")

set(wayland_missing "")
foreach(requirement WAYLAND_CLIENT_FOUND wayland_scanner wayland_protocols_dir PLASMA_WAYLAND_PROTOCOLS_DIR SYSTEMD_FOUND)
  if(NOT ${requirement})
    list(APPEND wayland_missing ${requirement})
  endif()
endforeach()
if(wayland_missing)
  message(STATUS "Wayland not found (${wayland_missing}): the Linux platform asks X11 only")
  return()
endif()

set(generated "${CMAKE_CURRENT_BINARY_DIR}/wayland-protocols")
set(protocol_sources "")
foreach(xml IN LISTS wayland_protocol_files)
  get_filename_component(protocol "${xml}" NAME_WE)
  add_custom_command(
    OUTPUT "${generated}/${protocol}-client-protocol.h" "${generated}/${protocol}-protocol.c"
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${generated}"
    # Headers that include only wayland-client-core.h: the system's
    # wayland-client-protocol.h would call libwayland-client directly.
    COMMAND "${wayland_scanner}" client-header --include-core-only "${xml}" "${generated}/${protocol}-client-protocol.h"
    COMMAND "${wayland_scanner}" private-code "${xml}" "${generated}/${protocol}-protocol.c"
    DEPENDS "${xml}"
    VERBATIM)
  list(APPEND protocol_sources "${generated}/${protocol}-client-protocol.h" "${generated}/${protocol}-protocol.c")
endforeach()
add_library(lsscreens_wayland_protocols STATIC ${protocol_sources})
# The interfaces stay private to the binary (wayland-scanner marks them so).
set_target_properties(lsscreens_wayland_protocols PROPERTIES C_VISIBILITY_PRESET hidden)
target_include_directories(lsscreens_wayland_protocols PUBLIC "${generated}" ${WAYLAND_CLIENT_INCLUDE_DIRS})
set(LSSCREENS_WAYLAND ON)
message(STATUS "Wayland found: the Linux platform asks a Wayland compositor first, then X11")
