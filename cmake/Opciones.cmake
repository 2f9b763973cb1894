# Every target of the project links this interface target, so the strictness
# flags are set once and nothing compiles without them.
add_library(carteles_opciones INTERFACE)
target_compile_features(carteles_opciones INTERFACE cxx_std_20)
target_compile_definitions(carteles_opciones INTERFACE
    QT_NO_CONTEXTLESS_CONNECT
    QT_NO_CAST_FROM_ASCII
    QT_NO_CAST_TO_ASCII
    QT_NO_CAST_FROM_BYTEARRAY
    QT_NO_URL_CAST_FROM_STRING
    QT_USE_QSTRINGBUILDER
    QT_DISABLE_DEPRECATED_UP_TO=0x060400
    QT_NO_KEYWORDS
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
)
target_compile_options(carteles_opciones INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Wcast-align
    -Wunused -Woverloaded-virtual -Wnull-dereference -Wimplicit-fallthrough
)

# In CI a warning fails the build, so none creeps in unseen. The sanitizer
# build is clang's, whose extra warnings only report there.
if("$ENV{CI}" AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    set(CMAKE_COMPILE_WARNING_AS_ERROR ON)
endif()

# Tests: one executable per unit, each run by CTest offscreen so that widget
# tests need no display.
function(agregar_prueba nombre)
    cmake_parse_arguments(PRUEBA "" "" "FUENTES;LIBRERIAS" ${ARGN})
    add_executable(${nombre} ${PRUEBA_FUENTES})
    target_link_libraries(${nombre} PRIVATE carteles_opciones Qt6::Test ${PRUEBA_LIBRERIAS})
    add_test(NAME ${nombre} COMMAND ${nombre})
    set_tests_properties(${nombre} PROPERTIES
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8"
        TIMEOUT 120)
endfunction()

# Sanitizer and fuzzing builds, each in a folder of its own and with clang:
# BREVALUX_SANITIZAR builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, any report ending the process; BREVALUX_FUZZ
# adds libFuzzer's coverage instrumentation on top, for the fuzz targets.
option(BREVALUX_SANITIZAR "Compilar con AddressSanitizer y UndefinedBehaviorSanitizer" OFF)
option(BREVALUX_FUZZ "Construir los objetivos de libFuzzer (requiere clang)" OFF)
if(BREVALUX_FUZZ AND NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "BREVALUX_FUZZ requiere clang (CXX=clang++)")
endif()
if(BREVALUX_SANITIZAR OR BREVALUX_FUZZ)
    set(BREVALUX_BANDERAS_SANITIZAR -fsanitize=address,undefined -fno-sanitize-recover=undefined
        -fno-omit-frame-pointer)
    target_compile_options(carteles_opciones INTERFACE ${BREVALUX_BANDERAS_SANITIZAR})
    target_link_options(carteles_opciones INTERFACE ${BREVALUX_BANDERAS_SANITIZAR})
endif()
if(BREVALUX_FUZZ)
    target_compile_options(carteles_opciones INTERFACE -fsanitize=fuzzer-no-link)
endif()
