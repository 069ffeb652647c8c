# The installation's last step: each folder on the way from the prefix to an installed file may be
# read and entered by every user. CMake makes the folders it needs with mkdir, which the umask of
# whoever installs or packages narrows: under umask 077 they are 0700, and the program in them
# would run for root alone. Only the missing read and enter bits are added; nothing is taken
# away, and no folder above the prefix is touched.
cmake_policy(VERSION 3.25) # install scripts run under the oldest policies otherwise
set(top "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(folders "")
foreach(file IN LISTS CMAKE_INSTALL_MANIFEST_FILES)
    # The manifest names the files as they will stand, without DESTDIR.
    cmake_path(GET file PARENT_PATH folder)
    set(folder "$ENV{DESTDIR}${folder}")
    cmake_path(IS_PREFIX top "${folder}" NORMALIZE below)
    while(below AND NOT folder IN_LIST folders)
        list(APPEND folders "${folder}")
        cmake_path(GET folder PARENT_PATH folder)
        cmake_path(IS_PREFIX top "${folder}" NORMALIZE below)
    endwhile()
endforeach()
if(folders)
    execute_process(COMMAND chmod go+rx ${folders} RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "The installed folders could not be opened to every user: ${folders}")
    endif()
endif()
