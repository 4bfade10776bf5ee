# One static library per layer, its sources found by glob so that a new file needs no
# edit here. Warnings are errors-free but loud in our own code only.
function(kv_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-missing-field-initializers)
endfunction()

include(CheckLinkerFlag)
check_linker_flag(CXX "LINKER:-z,pack-relative-relocs" KV_HAVE_RELR)

# kv_fast_start(<target> [QT])
# Every test case runs in a process of its own, and a sanitizer build's test program holds
# about a million pointers that the loader relocates at each start: that start-up, not the
# tests, took most of the test run. A program without Qt is linked at a fixed address, so
# nothing is relocated; Qt needs position-independent programs, whose relocations are
# packed instead.
function(kv_fast_start target)
  cmake_parse_arguments(F "QT" "" "" ${ARGN})
  if(NOT F_QT)
    target_link_options(${target} PRIVATE -no-pie)
  elseif(KV_HAVE_RELR)
    target_link_options(${target} PRIVATE LINKER:-z,pack-relative-relocs)
  endif()
endfunction()

# kv_layer(<name> DIRS <dir>... [LIBS <lib>...] [QT])
# Creates nothing when the layer has no sources yet.
function(kv_layer name)
  cmake_parse_arguments(L "QT" "" "DIRS;LIBS" ${ARGN})
  set(sources "")
  foreach(d ${L_DIRS})
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${d}/*.cpp ${d}/*.h ${d}/*.qrc ${d}/*.ui)
    list(APPEND sources ${found})
  endforeach()
  list(FILTER sources EXCLUDE REGEX ".*/main\\.cpp$")
  set(cpp ${sources})
  list(FILTER cpp INCLUDE REGEX ".*\\.cpp$")
  if(NOT cpp)
    return()
  endif()
  # A layer below that has no sources yet is no target: nothing to link.
  set(libs "")
  foreach(lib ${L_LIBS})
    if(TARGET ${lib} OR lib MATCHES "::")
      list(APPEND libs ${lib})
    endif()
  endforeach()
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${libs} Threads::Threads)
  if(L_QT)
    set_target_properties(${name} PROPERTIES AUTOMOC ON AUTORCC ON AUTOUIC ON)
  endif()
  kv_warnings(${name})
endfunction()

# kv_test_layer(<layer> LIBS <lib>... [QT])
# One test executable per layer, from tests/<layer>/*.cpp.
function(kv_test_layer layer)
  cmake_parse_arguments(T "QT" "" "LIBS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${layer}/*.cpp
       ${CMAKE_CURRENT_SOURCE_DIR}/${layer}/*.h)
  set(cpp ${sources})
  list(FILTER cpp INCLUDE REGEX ".*\\.cpp$")
  if(NOT cpp)
    return()
  endif()
  foreach(lib ${T_LIBS})
    if(NOT TARGET ${lib})
      return()
    endif()
  endforeach()
  set(exe ${layer}_tests)
  add_executable(${exe} ${sources})
  target_link_libraries(${exe} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock Threads::Threads)
  target_include_directories(${exe} PRIVATE ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_definitions(${exe} PRIVATE KV_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
                             KV_TESTDATA_DIR="${PROJECT_SOURCE_DIR}/../shared/testdata")
  if(T_QT)
    set_target_properties(${exe} PROPERTIES AUTOMOC ON AUTORCC ON)
  endif()
  if(KV_UNITY_TESTS)
    # Test files share their headers (gtest, Qt, the fixtures), so batches of them compile in
    # a fraction of the time. A file-local name that a batch neighbour also defines breaks its
    # batch: such files are listed in KV_UNITY_ALONE and compile on their own.
    set_target_properties(${exe} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE ${KV_UNITY_BATCH})
    foreach(src ${sources})
      # By layer and file name, so that a file keeps its entry when it moves to a subfolder.
      get_filename_component(name ${src} NAME)
      if("${layer}/${name}" IN_LIST KV_UNITY_ALONE)
        set_source_files_properties(${src} PROPERTIES SKIP_UNITY_BUILD_INCLUSION ON)
      endif()
    endforeach()
    # Types from a file's anonymous namespace are seen as coming from a header of the batch.
    target_compile_options(${exe} PRIVATE -Wno-subobject-linkage)
  endif()
  kv_warnings(${exe})
  if(T_QT)
    kv_fast_start(${exe} QT)
  else()
    kv_fast_start(${exe})
  endif()
  gtest_discover_tests(${exe} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES LABELS ${layer} TIMEOUT 300)
endfunction()
