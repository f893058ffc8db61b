# One interface target carries the language level, warnings and Qt safety macros to every target.
add_library(tess_options INTERFACE)
target_compile_features(tess_options INTERFACE cxx_std_20)
set(CMAKE_CXX_EXTENSIONS OFF)
target_compile_options(tess_options INTERFACE -Wall -Wextra)
if(TESS_WERROR)
  target_compile_options(tess_options INTERFACE -Werror)
endif()
target_compile_definitions(tess_options INTERFACE
  QT_NO_CAST_FROM_ASCII
  QT_NO_CAST_TO_ASCII
  QT_NO_CAST_FROM_BYTEARRAY
  QT_NO_CONTEXTLESS_CONNECT
  QT_NO_FOREACH
  QT_NO_KEYWORDS # GLib headers use "signals" as a name: Q_SIGNALS, Q_SLOTS and Q_EMIT instead
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_STRICT_ITERATORS
  QT_USE_QSTRINGBUILDER
  TESS_VERSION="${PROJECT_VERSION}"
  TESS_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
  TESS_VERSION_MINOR=${PROJECT_VERSION_MINOR}
  TESS_VERSION_PATCH=${PROJECT_VERSION_PATCH})

# Where "E-mail" and "Homepage" lead; empty leaves both commands disabled.
set(TESS_MAIL_ADDRESS "" CACHE STRING "The address the E-mail command writes to")
set(TESS_HOME_PAGE "" CACHE STRING "The page the Homepage command opens")

if(TESS_SANITIZE)
  set(_san -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_compile_options(tess_options INTERFACE ${_san})
  target_link_options(tess_options INTERFACE ${_san})
endif()
if(TESS_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "TESS_FUZZ needs clang")
  endif()
  # Coverage for the libraries the fuzzers link; the fuzzer main comes with each fuzz target.
  target_compile_options(tess_options INTERFACE -fsanitize=fuzzer-no-link)
endif()

# tess_library(name SOURCES ... LIBS ...): one library per source folder.
# Includes are written from src/ ("prefs/TDravikPreferences.h"); PRIVATE_LIBS stay inside.
function(tess_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;PRIVATE_LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC tess_options ${ARG_LIBS} PRIVATE ${ARG_PRIVATE_LIBS})
endfunction()
