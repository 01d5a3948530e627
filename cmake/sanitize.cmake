# QEL_SANITIZE: AddressSanitizer and UndefinedBehaviorSanitizer over the whole tree (clang or gcc).
# Undefined behaviour aborts instead of printing and going on, so a test that reaches it fails.
# QEL_BUILD_FUZZ adds the coverage libFuzzer needs (clang only); the fuzz targets then link
# libFuzzer's main, everything else links without it.
set(qel_sanitizers address,undefined)
if(QEL_BUILD_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "QEL_BUILD_FUZZ needs clang (configure with -DCMAKE_CXX_COMPILER=clang++)")
    endif()
    set(QEL_SANITIZE ON)
    set(qel_sanitizers fuzzer-no-link,address,undefined)
endif()
if(QEL_SANITIZE)
    add_compile_options(-fsanitize=${qel_sanitizers} -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
