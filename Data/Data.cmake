# Installation data: everything the client reads from its program folder is
# generated at build time into CHATROOM_APP_DIR by the makedata tool, then the
# resource pack and the two skins are packed with rcc.
find_package(Qt6 6.4 REQUIRED COMPONENTS Svg)

set(DATA_SRC ${CMAKE_CURRENT_SOURCE_DIR})
set(DATA_GEN ${CMAKE_CURRENT_BINARY_DIR}/gen)

add_library(DataArt STATIC
  generators/Art.cpp generators/Art.h
  generators/Designs.cpp generators/Designs.h
  generators/GifWriter.cpp generators/GifWriter.h)
target_include_directories(DataArt PUBLIC generators)
target_link_libraries(DataArt PUBLIC Qt6::Gui Qt6::Svg)

add_executable(makedata generators/makedata.cpp)
target_link_libraries(makedata PRIVATE DataArt)
# A build tool, not part of the program: keep it out of the program folder.
set_target_properties(makedata PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})

file(GLOB_RECURSE DATA_INPUTS CONFIGURE_DEPENDS
  ${DATA_SRC}/sources/* ${DATA_SRC}/art/* ${DATA_SRC}/skins/* ${DATA_SRC}/pages/*
  ${DATA_SRC}/LICENSES/*)

set(DATA_STAMP ${DATA_GEN}/makedata.stamp)
add_custom_command(
  OUTPUT ${DATA_STAMP} ${DATA_GEN}/res/pack.qrc ${DATA_GEN}/skin1/skin1.qrc
         ${DATA_GEN}/skin2/skin2.qrc
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
          $<TARGET_FILE:makedata> ${DATA_SRC} ${DATA_GEN} ${CHATROOM_APP_DIR}
  COMMAND ${CMAKE_COMMAND} -E touch ${DATA_STAMP}
  DEPENDS makedata ${DATA_INPUTS}
  COMMENT "Generating the installation data"
  VERBATIM)

set(DATA_RES_PACK ${CHATROOM_APP_DIR}/ResModule.rcc)
add_custom_command(
  OUTPUT ${DATA_RES_PACK}
  COMMAND Qt6::rcc --binary --compress 9 -o ${DATA_RES_PACK} ${DATA_GEN}/res/pack.qrc
  DEPENDS ${DATA_STAMP} ${DATA_GEN}/res/pack.qrc
  COMMENT "Packing ResModule.rcc"
  VERBATIM)

set(DATA_OUTPUTS ${DATA_STAMP} ${DATA_RES_PACK})
foreach(skin skin1 skin2)
  set(out ${CHATROOM_APP_DIR}/SkinRes/Default/${skin}.skn)
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CHATROOM_APP_DIR}/SkinRes/Default
    COMMAND Qt6::rcc --binary --compress 9 -o ${out} ${DATA_GEN}/${skin}/${skin}.qrc
    DEPENDS ${DATA_STAMP} ${DATA_GEN}/${skin}/${skin}.qrc
    COMMENT "Packing ${skin}.skn"
    VERBATIM)
  list(APPEND DATA_OUTPUTS ${out})
endforeach()

add_custom_target(ChatRoomData ALL DEPENDS ${DATA_OUTPUTS})

# The picture sheet of docs/data-sheet.png (Data/make-sheet.sh builds and runs it).
add_executable(datasheet generators/datasheet.cpp)
target_link_libraries(datasheet PRIVATE DataArt ChatCommon Qt6::Widgets)
set_target_properties(datasheet PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})

if(CHATROOM_BUILD_TESTS)
  add_chatroom_test(DataTests SOURCES tests/DataTests.cpp LIBS DataArt ChatCommon Qt6::Gui)
  add_dependencies(DataTests ChatRoomData)
  # The same files through the client's own catalogue loaders.
  add_chatroom_test(DataLoaderTests SOURCES tests/ClientLoaderTests.cpp LIBS ClientChat ClientRoom)
  add_dependencies(DataLoaderTests ChatRoomData)
endif()
