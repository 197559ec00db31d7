# GoogleTest, built with the cross compiler from the sources that Debian's
# googletest package ships.
set(ORB_GTEST_SRC /usr/src/googletest/googletest CACHE PATH "GoogleTest sources")
if(NOT EXISTS ${ORB_GTEST_SRC}/src/gtest-all.cc)
    message(FATAL_ERROR "GoogleTest sources not found in ${ORB_GTEST_SRC} (apt-get install googletest)")
endif()
add_library(gtest STATIC ${ORB_GTEST_SRC}/src/gtest-all.cc)
target_include_directories(gtest SYSTEM PUBLIC ${ORB_GTEST_SRC}/include PRIVATE ${ORB_GTEST_SRC})
add_library(gtest_main STATIC ${ORB_GTEST_SRC}/src/gtest_main.cc)
target_link_libraries(gtest_main PUBLIC gtest)
