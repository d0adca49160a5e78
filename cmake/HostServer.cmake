# zifra-server built natively beside the cross build, for the end-to-end test
# of the competition site: the same sources configured once more without the
# cross toolchain, building only the server (in build/windows/host-server).
# The windows build so needs nothing from the host preset's folder.
include(ExternalProject)

set(ZIFRA_HOST_SERVER_DIR ${PROJECT_BINARY_DIR}/host-server)
set(ZIFRA_HOST_SERVER ${ZIFRA_HOST_SERVER_DIR}/server/zifra-server)

ExternalProject_Add(zifra_host_server
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${ZIFRA_HOST_SERVER_DIR}
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
  BUILD_COMMAND $(MAKE) zifra-server
  BUILD_BYPRODUCTS ${ZIFRA_HOST_SERVER}
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON)
