# The installed program: `cmake --install` of this build into a scratch folder, the files a
# package carries, --help, the validators of the desktop entry and the AppStream data, and the
# installed program starting from its install prefix. The rules-file lookup of the permission
# notice runs in the same program.
if(NOT VX_WITH_QT)
    return()
endif()
vx_add_test(NAME app_install LABELS app SOURCES InstallTest.cpp
    LIBS vx_discovery vx_link Qt6::Core TIMEOUT 60
    ENV VX_CMAKE_COMMAND=${CMAKE_COMMAND})
# Everything `cmake --install` copies must exist first.
add_dependencies(app_install VexorUmbrelControlCenter VexorUmbrelControlCenterAudioRecord vx_udev_rules vx_man_page vx_metainfo vx-list-devices)
foreach(tool vx-emulator-ctl vx-hid-descriptor)
    if(TARGET ${tool})
        add_dependencies(app_install ${tool})
    endif()
endforeach()
