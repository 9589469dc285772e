# Cross toolchain: the same programs for x86-64, whose tests run where the
# kernel executes no 32-bit code.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
