# Engines of the chat engine module against the room service, in one process;
# the room decoders' fuzz targets and their corpus replays.
set(ROOM_TEST_DIR ${CMAKE_CURRENT_LIST_DIR})
set(ROOM_FUZZ_DIR ${ROOM_TEST_DIR}/fuzz)
set(ROOM_MODULE_DIR ${PROJECT_SOURCE_DIR}/Client/Modules/ClientModule)

if(CHATROOM_BUILD_TESTS AND TARGET ClientModule)
  add_chatroom_test(RoomEngineTests
    SOURCES ${ROOM_TEST_DIR}/RoomEngineTests.cpp ${ROOM_TEST_DIR}/EngineLinesTests.cpp
      ${ROOM_MODULE_DIR}/EngineLines.cpp
    LIBS ServerCore ClientModule)
  target_include_directories(RoomEngineTests PRIVATE ${ROOM_TEST_DIR} ${ROOM_MODULE_DIR})
endif()

if(CHATROOM_BUILD_TESTS)
  foreach(side Service Module)
    add_executable(Room${side}DecoderReplay ${ROOM_FUZZ_DIR}/Room${side}DecoderFuzz.cpp
      ${PROJECT_SOURCE_DIR}/Server/fuzz/ReplayMain.cpp)
    set_target_properties(Room${side}DecoderReplay PROPERTIES
      RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    target_link_libraries(Room${side}DecoderReplay PRIVATE ChatCommon)
    string(TOLOWER ${side} corpus)
    add_test(NAME Room${side}DecoderCorpus
      COMMAND Room${side}DecoderReplay ${ROOM_FUZZ_DIR}/corpus-${corpus})
  endforeach()
  target_sources(RoomModuleDecoderReplay PRIVATE ${ROOM_MODULE_DIR}/EngineLines.cpp)
  target_include_directories(RoomModuleDecoderReplay PRIVATE ${ROOM_MODULE_DIR})
endif()

# libFuzzer builds (clang, CHATROOM_FUZZ=ON), e.g.
#   build/fuzz/app/RoomServiceDecoderFuzz Server/tests/room/fuzz/corpus-service -max_total_time=60
if(CHATROOM_FUZZ)
  set(COMMON_DIR ${PROJECT_SOURCE_DIR}/Client/Common/src)
  foreach(side Service Module)
    add_executable(Room${side}DecoderFuzz ${ROOM_FUZZ_DIR}/Room${side}DecoderFuzz.cpp
      ${COMMON_DIR}/Framing.cpp ${COMMON_DIR}/RoomProtocol.cpp ${COMMON_DIR}/GbkText.cpp
      ${COMMON_DIR}/TextUtils.cpp)
    target_include_directories(Room${side}DecoderFuzz PRIVATE ${PROJECT_SOURCE_DIR}/Client/Common/include)
    target_compile_options(Room${side}DecoderFuzz PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_options(Room${side}DecoderFuzz PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_libraries(Room${side}DecoderFuzz PRIVATE OpenSSL::Crypto pugixml::pugixml)
  endforeach()
  target_sources(RoomModuleDecoderFuzz PRIVATE ${ROOM_MODULE_DIR}/EngineLines.cpp)
  target_include_directories(RoomModuleDecoderFuzz PRIVATE ${ROOM_MODULE_DIR})
endif()

# The load tool (a benchmark, not a test): build/<preset>/app/RoomLoad --clients 2000
if(TARGET ClientModule)
  add_executable(RoomLoad ${PROJECT_SOURCE_DIR}/Server/bench/RoomLoad.cpp)
  target_link_libraries(RoomLoad PRIVATE ServerCore ClientModule)
endif()
