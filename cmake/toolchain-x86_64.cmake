# 64-bit Windows build: the same sources as the product (the i686 build),
# tested too, under 64-bit Wine: every test but the i686 build's own
# install test.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ORB_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
