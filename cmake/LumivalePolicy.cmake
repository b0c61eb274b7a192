# One place for the compile policy every target of the project links against.
add_library(lumivale_policy INTERFACE)
target_compile_features(lumivale_policy INTERFACE cxx_std_20)
set(CMAKE_CXX_EXTENSIONS OFF)
target_compile_options(lumivale_policy INTERFACE -Wall -Wextra)
target_compile_definitions(lumivale_policy INTERFACE
  QT_NO_CAST_FROM_ASCII
  QT_NO_CAST_TO_ASCII
  QT_NO_URL_CAST_FROM_STRING
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_NO_FOREACH
  QT_DISABLE_DEPRECATED_BEFORE=0x060400)
if(LUMIVALE_WERROR)
  target_compile_options(lumivale_policy INTERFACE -Werror)
endif()
if(LUMIVALE_SANITIZE)
  set(_san -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_compile_options(lumivale_policy INTERFACE ${_san})
  target_link_options(lumivale_policy INTERFACE ${_san})
endif()
