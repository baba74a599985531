# Engines of the chat engine module against the room service, in one process.
if(CHATROOM_BUILD_TESTS AND TARGET ClientModule)
  add_chatroom_test(RoomEngineTests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/RoomEngineTests.cpp
    LIBS ServerCore ClientModule)
  target_include_directories(RoomEngineTests PRIVATE ${CMAKE_CURRENT_LIST_DIR})
endif()
