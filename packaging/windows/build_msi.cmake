# Builds the MSI: cmake -DWIXL=... -DMSIBUILD=... -DMSIINFO=... -DSOURCE=<.wxs> -DPROGRAM=<exe> -DICON=<ico>
#   -DVERSION=<x.y[.z]> -DNAME=<product name> -DSHORT_NAME=<8.3 name> -DFULLSCREEN_NAME=<second entry's name>
#   -DFULLSCREEN_SHORT_NAME=<8.3 name> -DDOWNGRADE_MESSAGE=<text>
#   -DOUTPUT=<msi> -P build_msi.cmake
# Written beside OUTPUT first and renamed at the end, so a failed step leaves no package that looks finished.
foreach(var IN ITEMS WIXL MSIBUILD MSIINFO SOURCE PROGRAM ICON VERSION NAME SHORT_NAME FULLSCREEN_NAME
                    FULLSCREEN_SHORT_NAME DOWNGRADE_MESSAGE OUTPUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "build_msi.cmake: ${var} is not set")
  endif()
endforeach()

set(partial ${OUTPUT}.partial)
file(REMOVE ${partial})
get_filename_component(output_dir ${OUTPUT} DIRECTORY)
file(MAKE_DIRECTORY ${output_dir})
# wixl finds files by relative names only. It says "unimplemented" of a shortcut that is not advertised, and
# writes it all the same.
set(files ${OUTPUT}.files)
file(REMOVE_RECURSE ${files})
file(MAKE_DIRECTORY ${files})
file(CREATE_LINK ${PROGRAM} ${files}/tropilka.exe SYMBOLIC)
file(CREATE_LINK ${ICON} ${files}/tropilka.ico SYMBOLIC)
execute_process(
  COMMAND ${WIXL} --arch x64 -D Version=${VERSION} -o ${partial} ${SOURCE}
  WORKING_DIRECTORY ${files}
  COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE_RECURSE ${files})

# wixl's database has no code page, so it leaves every table string beyond ASCII empty: the product's name
# (what Apps & Features shows), the Start menu entries' and the message that refuses a downgrade. The database
# gets the Cyrillic code page, which Windows Installer turns into Unicode on any system locale, and they are
# written again.
# Shortcut names are "short|long"; the short one is only used where long names are off.
# wixl also knows no component conditions nor secure properties: the school's mode is installed only where
# MODE is given, and removed with the game whatever MODE is then (Wine's msi weighs the condition on removal
# too), and MODE passes from the command line to the elevated installation.
set(codepage_dir ${OUTPUT}.codepage)
file(MAKE_DIRECTORY ${codepage_dir})
file(WRITE ${codepage_dir}/_ForceCodepage.idt "\r\n\r\n1251\t_ForceCodepage\r\n")
execute_process(
  COMMAND ${MSIBUILD} ${partial} -i ${codepage_dir}/_ForceCodepage.idt
    -q "UPDATE `Property` SET `Value` = '${NAME}' WHERE `Property` = 'ProductName'"
    -q "UPDATE `Shortcut` SET `Name` = '${SHORT_NAME}|${NAME}' WHERE `Shortcut` = 'StartMenu'"
    -q "UPDATE `Shortcut` SET `Name` = '${FULLSCREEN_SHORT_NAME}|${FULLSCREEN_NAME}' WHERE `Shortcut` = 'StartMenuFullScreen'"
    -q "UPDATE `Component` SET `Condition` = 'MODE OR REMOVE=\"ALL\"' WHERE `Component` = 'SchoolMode'"
    -q "UPDATE `Property` SET `Value` = 'MODE;WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED' WHERE `Property` = 'SecureCustomProperties'"
    -q "UPDATE `LaunchCondition` SET `Description` = '${DOWNGRADE_MESSAGE}' WHERE `Condition` = 'NOT WIX_DOWNGRADE_DETECTED'"
  COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE_RECURSE ${codepage_dir})

# msibuild reports no error for an UPDATE that finds no row: the names are read back.
function(expect_row table row)
  execute_process(COMMAND ${MSIINFO} export ${partial} ${table} OUTPUT_VARIABLE rows COMMAND_ERROR_IS_FATAL ANY)
  string(FIND "${rows}" "${row}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "build_msi.cmake: no row \"${row}\" in the ${table} table:\n${rows}")
  endif()
endfunction()
expect_row(Property "\nProductName\t${NAME}\n")
expect_row(Shortcut "\nStartMenu\tProgramMenuFolder\t${SHORT_NAME}|${NAME}\t")
expect_row(Shortcut "\nStartMenuFullScreen\tProgramMenuFolder\t${FULLSCREEN_SHORT_NAME}|${FULLSCREEN_NAME}\t")
expect_row(Component "\tMODE OR REMOVE=\"ALL\"\t")
expect_row(Property "\nSecureCustomProperties\tMODE;WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED\n")
expect_row(LaunchCondition "\nNOT WIX_DOWNGRADE_DETECTED\t${DOWNGRADE_MESSAGE}\n")

file(RENAME ${partial} ${OUTPUT})
