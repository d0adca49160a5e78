# The loopback build: the same sources configured a second time, with the
# competition server at 127.0.0.1:ZIFRA_LOOPBACK_PORT, for the tests that talk
# to the loopback competition server (tests/e2e/competition_server.py). It
# builds only what those tests run: zifra.exe and the loopback test programs.
include(ExternalProject)

set(ZIFRA_LOOPBACK_PORT "47831" CACHE STRING "Port of the loopback competition server in the tests")
set(ZIFRA_LOOPBACK_DIR ${PROJECT_BINARY_DIR}/loopback)

ExternalProject_Add(zifra_loopback
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${ZIFRA_LOOPBACK_DIR}
  CMAKE_ARGS
    -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}
    -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
    -DCMAKE_COMPILE_WARNING_AS_ERROR=${CMAKE_COMPILE_WARNING_AS_ERROR}
    -DZIFRA_COMPETITION_HOST=127.0.0.1
    -DZIFRA_COMPETITION_PORT=${ZIFRA_LOOPBACK_PORT}
    -DZIFRA_LOOPBACK_BUILD=ON
  CMAKE_CACHE_ARGS
    -DCMAKE_CROSSCOMPILING_EMULATOR:STRING=${CMAKE_CROSSCOMPILING_EMULATOR}
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON)
