# The GBK pinyin table: a generated source kept in the repository, so the
# build needs neither the network nor the generator's inputs.
add_library(ChatPinyin STATIC ${CMAKE_CURRENT_LIST_DIR}/PinyinTable.cpp ${CMAKE_CURRENT_LIST_DIR}/PinyinTable.h)
target_include_directories(ChatPinyin PUBLIC ${CMAKE_CURRENT_LIST_DIR})

# Regenerating by hand: `cmake --build <dir> --target pinyin-table` with the
# unpacked pinyin-pro package in PINYIN_PRO_DIR (README.txt).
set(PINYIN_PRO_DIR /tmp/package CACHE PATH "Unpacked npm package pinyin-pro")
set(PINYIN_UNIHAN /usr/share/unicode/Unihan_Readings.txt.bz2 CACHE FILEPATH "Unihan_Readings.txt(.bz2)")
find_program(PINYIN_NODE node)
if(PINYIN_NODE)
  add_custom_target(pinyin-table
    COMMAND ${PINYIN_NODE} ${CMAKE_CURRENT_LIST_DIR}/make-pinyin-table.mjs
            ${PINYIN_PRO_DIR} ${PINYIN_UNIHAN} ${CMAKE_CURRENT_LIST_DIR}/PinyinTable.cpp
    COMMENT "Regenerating the pinyin table"
    VERBATIM)
endif()
