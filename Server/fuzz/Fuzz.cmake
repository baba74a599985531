# The hall decoder's fuzz target. HallDecoderReplay (always, with the tests)
# replays the corpus as a test; HallDecoderFuzz needs clang:
#   CXX=clang++ CC=clang cmake -B build/fuzz -DCHATROOM_FUZZ=ON && \
#   cmake --build build/fuzz --target HallDecoderFuzz && \
#   build/fuzz/app/HallDecoderFuzz Server/fuzz/corpus -max_total_time=60
option(CHATROOM_FUZZ "Build the libFuzzer target (clang only)" OFF)
set(FUZZ_DIR ${CMAKE_CURRENT_SOURCE_DIR}/fuzz)

if(CHATROOM_BUILD_TESTS)
  add_executable(HallDecoderReplay ${FUZZ_DIR}/HallDecoderFuzz.cpp ${FUZZ_DIR}/ReplayMain.cpp)
  set_target_properties(HallDecoderReplay PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(HallDecoderReplay PRIVATE ServerCore)
  add_test(NAME HallDecoderCorpus COMMAND HallDecoderReplay ${FUZZ_DIR}/corpus)
endif()

if(CHATROOM_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "CHATROOM_FUZZ needs clang (libFuzzer)")
  endif()
  # The code under test is compiled into the target itself so it carries the
  # fuzzer's coverage instrumentation.
  set(COMMON_DIR ${PROJECT_SOURCE_DIR}/Client/Common/src)
  add_executable(HallDecoderFuzz ${FUZZ_DIR}/HallDecoderFuzz.cpp
    ${COMMON_DIR}/Framing.cpp ${COMMON_DIR}/HallProtocol.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/src/HallLogic.cpp ${CMAKE_CURRENT_SOURCE_DIR}/src/Database.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/src/PasswordHash.cpp ${CMAKE_CURRENT_SOURCE_DIR}/src/ServerConfig.cpp)
  target_include_directories(HallDecoderFuzz PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/src)
  target_compile_options(HallDecoderFuzz PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(HallDecoderFuzz PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(HallDecoderFuzz PRIVATE ChatCommon SQLite::SQLite3 OpenSSL::Crypto)
endif()
