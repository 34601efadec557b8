# Checks the pictures voltaro_make_icons draws into the bundle's resources.
voltaro_add_test(IconPicturesTest IconPicturesTest.cpp Qt6::Gui)
target_compile_definitions(IconPicturesTest PRIVATE VOLTARO_TEST_RESOURCES_DIR="${VOLTARO_RESOURCES_DIR}")
add_dependencies(IconPicturesTest voltaro_resources)
