# Compiler settings shared by every target of the project.
add_library(sormelin_options INTERFACE)
target_compile_options(sormelin_options INTERFACE
    -Wall -Wextra -pedantic -Wnon-virtual-dtor -Woverloaded-virtual)
target_compile_definitions(sormelin_options INTERFACE
    QT_NO_CAST_FROM_ASCII
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QT_NO_URL_CAST_FROM_STRING
    QT_USE_QSTRINGBUILDER)
# The sanitized build also checks the standard library's bounds and preconditions.
if(SORMELIN_SANITIZE)
    target_compile_options(sormelin_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
        -fno-sanitize-recover=undefined)
    target_compile_definitions(sormelin_options INTERFACE _GLIBCXX_ASSERTIONS)
    target_link_options(sormelin_options INTERFACE -fsanitize=address,undefined)
endif()
