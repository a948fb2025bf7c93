# Packages of launcher_road_bench only: the demo's update manager at its new
# version and the launcher's setup stand-in, each made about 20 MB with data
# that does not compress, so that the road downloads and installs what a real
# update would. Included from bench/CMakeLists.txt; target launcher_road_packages.
#   BUILD/bench/road-packages/Ravelin_UpdateManager_1.1.0.0_pad20.msi
#   BUILD/bench/road-packages/Ravelin_LauncherSetup_pad20.exe
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(road_dir ${CMAKE_BINARY_DIR}/bench/road-packages)
set(road_work ${CMAKE_CURRENT_BINARY_DIR}/road-work)
set(road_pad_size 20971520)
set(road_msi ${road_dir}/Ravelin_UpdateManager_1.1.0.0_pad20.msi)
set(road_setup ${road_dir}/Ravelin_LauncherSetup_pad20.exe)
set(road_pad_name RoadBenchPad.bin)
# wixl takes only relative file names: the package is made in this folder.
file(MAKE_DIRECTORY ${road_work})

if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(road_package_options -a x64 -D ProgramFiles=ProgramFiles64Folder -D Win64=yes)
else()
  set(road_package_options -a x86 -D ProgramFiles=ProgramFilesFolder -D Win64=no)
endif()

# Codes of component 2 in demo/CMakeLists.txt.
add_custom_command(OUTPUT ${road_msi}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${road_dir} ${road_work}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:demo_Ravelin_UpdateManager_v2> ${road_work}/Ravelin_UpdateManager.exe
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/road/PadFile.py ${road_work}/${road_pad_name} ${road_pad_size} 2
  COMMAND ${RAVELIN_WIXL} ${road_package_options}
          -D "Name=Ravelin Update Manager (demo)" -D Version=1.1.0.0 -D ProgramFile=Ravelin_UpdateManager.exe
          -D PadFile=${road_pad_name}
          -D ProductCode={B8AA5F36-319F-4B64-A563-9E0E6F1A75AA} -D UpgradeCode={904F103C-AA71-420E-ADA4-81303FBF59F2}
          -D ComponentGuid={8B8A10BC-1EB6-48B7-85F3-7DC5FA06AD66}
          -o ${road_msi} ${CMAKE_CURRENT_SOURCE_DIR}/road/PaddedComponent.wxs
  COMMAND ${CMAKE_COMMAND} -DMSIBUILD=${RAVELIN_MSIBUILD} -DPACKAGE=${road_msi} -DNUMBER=2 -DVERSION=1.1.0.0
          -DWORK=${road_work} -P ${CMAKE_SOURCE_DIR}/demo/FinishPackage.cmake
  COMMAND ${CMAKE_COMMAND} -E rm -f ${road_work}/${road_pad_name}
  WORKING_DIRECTORY ${road_work}
  DEPENDS road/PaddedComponent.wxs road/PadFile.py ${CMAKE_SOURCE_DIR}/demo/FinishPackage.cmake
          demo_Ravelin_UpdateManager_v2
  COMMENT "Building the road benchmark's 20 MB update manager package"
  VERBATIM)

# Data appended to a PE file is not loaded: the setup runs as before.
add_custom_command(OUTPUT ${road_setup}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${road_dir}
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/road/PadFile.py ${road_setup} ${road_pad_size} 1
          $<TARGET_FILE:demo_launcher_setup>
  DEPENDS road/PadFile.py demo_launcher_setup
  COMMENT "Building the road benchmark's 20 MB launcher setup"
  VERBATIM)

add_custom_target(launcher_road_packages DEPENDS ${road_msi} ${road_setup})
