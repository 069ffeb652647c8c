# Tests of the sheet model, workbook files and grid widget (included from CMakeLists.txt).
talor_add_test(NAME grid_sheet SOURCES SheetTest.cpp LIBS talor_grid)
talor_add_test(NAME grid_files SOURCES WorkbookFileTest.cpp LIBS talor_grid)
talor_add_test(NAME grid_view SOURCES SheetViewTest.cpp ${CMAKE_SOURCE_DIR}/tests/entry/GuiTestMain.cpp LIBS talor_gridview Qt6::Test GUI)

