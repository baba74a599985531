# ServerCore holds the service's logic so tests link it; ChatRoomServer is the
# program. The room service's sources live in src/room/ and define
# CreateRoomService; RoomServiceNone.cpp holds a weak stand-in that returns
# nullptr. ServerCore is an object library so the linker always sees both and
# the room service's definition wins as soon as it exists.
find_package(SQLite3 REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(HTTPLIB REQUIRED IMPORTED_TARGET cpp-httplib)

file(GLOB SERVER_ROOM_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/src/room/*.cpp)

add_library(ServerCore OBJECT
  src/ChatServer.cpp
  src/Database.cpp
  src/HallLogic.cpp
  src/HallServer.cpp
  src/PasswordHash.cpp
  src/ServerConfig.cpp
  src/ServerLog.cpp
  src/TcpListen.cpp
  src/WebServer.cpp
  src/RoomServiceNone.cpp
  ${SERVER_ROOM_SOURCES})
target_include_directories(ServerCore PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/src)
target_compile_definitions(ServerCore PUBLIC ASIO_STANDALONE ASIO_NO_DEPRECATED)
target_link_libraries(ServerCore PUBLIC ChatCommon SQLite::SQLite3 PkgConfig::HTTPLIB
  OpenSSL::Crypto Threads::Threads)

add_executable(ChatRoomServer src/main.cpp)
target_link_libraries(ChatRoomServer PRIVATE ServerCore)

if(CHATROOM_BUILD_TESTS AND EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/tests)
  file(GLOB SERVER_TESTS CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*Test.cpp)
  if(SERVER_TESTS)
    add_chatroom_test(ServerTests SOURCES ${SERVER_TESTS} LIBS ServerCore)
  endif()
endif()

include(${CMAKE_CURRENT_SOURCE_DIR}/fuzz/Fuzz.cmake OPTIONAL)

# The hall socket module against the service (see Client/Modules/ClientSocket).
if(CHATROOM_BUILD_TESTS AND TARGET ClientSocket)
  set(SOCKET_DIR ${PROJECT_SOURCE_DIR}/Client/Modules/ClientSocket)
  add_chatroom_test(ClientSocketTests SOURCES ${SOCKET_DIR}/tests/ClientSocketTest.cpp
    LIBS ServerCore ${CMAKE_DL_LIBS})
  target_include_directories(ClientSocketTests PRIVATE ${PROJECT_SOURCE_DIR}/Client/ClientUI
    ${CMAKE_CURRENT_SOURCE_DIR}/tests)
  add_dependencies(ClientSocketTests ClientSocket)
endif()
include(${CMAKE_CURRENT_SOURCE_DIR}/tests/room/Room.cmake OPTIONAL)
