# Fills in what wixl cannot write into a demo package: the suite folder's
# Japanese name (wixl stores names outside ASCII as empty text), the product's
# Japanese name and the program's file version (wixl leaves it empty, and an
# unversioned entry would never replace an installed, versioned program).
# The database gets code page 932 first, so that these texts can be stored.
#   cmake -DMSIBUILD=... -DPACKAGE=x.msi -DNUMBER=2 -DVERSION=1.1.0.0 -DWORK=dir -P FinishPackage.cmake
set(suite_folder "ソフト表示")
set(product_name_2 "Ravelin アップデートマネージャー（デモ）")
set(product_name_3 "Ravelin MSV タイトルエディター（デモ）")
set(product_name_4 "Ravelin カメラユニットマネージャー（デモ）")

foreach(variable MSIBUILD PACKAGE NUMBER VERSION WORK)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "FinishPackage.cmake needs -D${variable}=...")
  endif()
endforeach()
if(NOT DEFINED product_name_${NUMBER})
  message(FATAL_ERROR "no demo component ${NUMBER}")
endif()

file(MAKE_DIRECTORY ${WORK})
file(WRITE ${WORK}/_ForceCodepage.idt "\r\n\r\n932\t_ForceCodepage\r\n")

function(msibuild)
  execute_process(COMMAND ${MSIBUILD} ${PACKAGE} ${ARGN} RESULT_VARIABLE result ERROR_VARIABLE error)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "msibuild ${ARGN} failed (${result}): ${error}")
  endif()
endfunction()

msibuild(-i ${WORK}/_ForceCodepage.idt)
msibuild(-q "UPDATE `Directory` SET `DefaultDir` = 'SOFT~1|${suite_folder}' WHERE `Directory` = 'INSTALLDIR'")
msibuild(-q "UPDATE `File` SET `Version` = '${VERSION}', `Language` = '1041' WHERE `File` = 'ProgramFile'")
msibuild(-q "UPDATE `Property` SET `Value` = '${product_name_${NUMBER}}' WHERE `Property` = 'ProductName'")
