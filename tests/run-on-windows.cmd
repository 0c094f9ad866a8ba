@echo off
rem KivSetup's Windows tests on a Windows machine. This script lies in one directory with what it runs,
rem as tests/exe/stage-for-windows.sh lays it out: the programs and test programs of build\windows, res\
rem with the committed pictures, KivSetup.manifest and examples\arena-pack. It runs every test program,
rem among them the dialog's driver (kiv_dialog_tests drives the real dialog, kiv_exe_tests KivSetup.exe
rem itself), then installs the example package with kivinstall.exe and compares the tree file by file.
rem Every step runs; each one that fails is named, and the exit status is 1 when any failed.
rem
rem KivSetup.exe asks for administrator rights: run this from an elevated prompt, or kiv_exe_tests
rem cannot start it (error 740). The build's other checks need tools of the build machine (objdump,
rem osslsigncode, Python: kiv_exe_KivSetup, kiv_exe_kivcheck, kiv_exe_kivinstall, kiv_exe_release,
rem kiv_res_images_up_to_date) and run there.
setlocal
set "here=%~dp0"
rem The tests read their data from here rather than from the paths of the build machine.
set "KIV_TEST_DATA_DIR=%here:~0,-1%"
set "failed="

for %%t in (kiv_setupinfo_tests kiv_install_tests kiv_kivcheck_tests kiv_kivinstall_tests kiv_kivpack_tests kiv_platform_tests kiv_framework_tests kiv_dialog_tests kiv_exe_tests) do call :test_program %%t
call :install_example

echo.
if defined failed (
  echo run-on-windows: FAILED:%failed%
  exit /b 1
)
echo run-on-windows: every step passed
exit /b 0

rem A test program, all its tests in one run. A crash gives a negative status, so any status but 0 fails.
:test_program
echo.
echo === %1
if not exist "%here%%1.exe" (
  echo %1.exe is missing
  set "failed=%failed% %1"
  exit /b
)
"%here%%1.exe" --gtest_brief=1
if not "%errorlevel%"=="0" set "failed=%failed% %1"
exit /b

rem kivinstall.exe run from the package's directory, as a user runs it. list.inf copies data\arena1.map
rem and data\arena2.map into maps\ (its E entry, readme.txt, is only listed without --open): the target
rem must hold these two files, with the package's bytes, and nothing else.
:install_example
echo.
echo === kivinstall.exe on examples\arena-pack
set "package=%here%examples\arena-pack"
set "target=%TEMP%\kiv arena %RANDOM%%RANDOM%"
set "wrong="
if not exist "%here%kivinstall.exe" (
  echo kivinstall.exe is missing
  set "failed=%failed% kivinstall-example"
  exit /b
)
pushd "%package%"
"%here%kivinstall.exe" --accept-license --target "%target%"
set "status=%errorlevel%"
popd
if not "%status%"=="0" (set "wrong=1" & echo kivinstall.exe ended with status %status%)
call :can_compare "%package%\data\arena1.map" "%package%\data\arena2.map"
call :copied arena1.map
call :copied arena2.map
set files=0
for /r "%target%" %%f in (*) do set /a files+=1
if not "%files%"=="2" (set "wrong=1" & echo the target holds %files% files, not 2)
if exist "%target%" rd /s /q "%target%"
if defined wrong set "failed=%failed% kivinstall-example"
exit /b

rem data\%1 must be at maps\%1 with the same bytes.
:copied
call :same "%package%\data\%1" "%target%\maps\%1"
if not "%errorlevel%"=="0" (set "wrong=1" & echo maps\%1 is missing or differs from data\%1)
exit /b

rem fc /b compares bytes. Wine's fc (8.0) is a stub that finds any two files equal, and Wine's cmd
rem cannot compare lines holding quotes: where fc cannot tell two different files apart, only the sizes
rem are compared (make test compares kivinstall.exe's install of this package byte for byte under Wine
rem in tests/kivinstall/compare-installs.sh).
:can_compare
set "fc_compares="
fc /b %1 %2 >nul 2>&1
if not "%errorlevel%"=="0" set "fc_compares=1"
if not defined fc_compares echo fc cannot tell two different files apart here: comparing sizes only
exit /b

rem Status 0 when the two files are the same.
:same
if not exist %2 exit /b 1
if not defined fc_compares (
  if "%~z1"=="%~z2" exit /b 0
  exit /b 1
)
fc /b %1 %2 >nul
exit /b %errorlevel%
