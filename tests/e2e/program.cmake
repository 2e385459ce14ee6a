# threadwick_program_e2e(name script timeout [HELPER target] [ENV vars]): a
# script that drives the real program on a real display, alone on the
# machine (the splash lives for a second and a half, and a loaded machine's
# screenshots can take longer), skipped (77) where Xvfb, xdotool or
# ImageMagick are missing. HELPER's program is the script's second argument;
# ENV sets variables for the script. Under the sanitizers the display
# libraries SDL loads (X11, D-Bus) keep allocations for the life of the
# process that no code of ours can free.
function(threadwick_program_e2e name script timeout)
  cmake_parse_arguments(ARG "" "HELPER" "ENV" ${ARGN})
  set(_command /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/${script} $<TARGET_FILE:threadwick>)
  if(ARG_HELPER)
    list(APPEND _command $<TARGET_FILE:${ARG_HELPER}>)
  endif()
  add_test(NAME ${name} COMMAND ${_command})
  set_tests_properties(${name} PROPERTIES LABELS e2e TIMEOUT ${timeout} SKIP_RETURN_CODE 77 RUN_SERIAL TRUE)
  set(_env ${ARG_ENV})
  if(THREADWICK_SANITIZE)
    list(APPEND _env "ASAN_OPTIONS=detect_leaks=0")
  endif()
  if(_env)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT "${_env}")
  endif()
endfunction()

# threadwick_e2e_helper(target source): a program of the program's own code
# that a road runs beside it (to save or draw a design headless).
function(threadwick_e2e_helper target source)
  add_executable(${target} ${source})
  target_compile_options(${target} PRIVATE ${THREADWICK_WARNINGS})
  target_link_libraries(${target} PRIVATE tw_program tw_testmain GTest::gtest)
  target_compile_definitions(${target} PRIVATE THREADWICK_TESTDATA_DIR="${THREADWICK_TESTDATA}")
endfunction()

# The whole program on a real display: build/bin/threadwick under Xvfb with
# the SDL back end, from the splash to a new shirt design, checked by a
# screenshot of each stage. Skipped (77) where Xvfb, xdotool or ImageMagick
# are missing.
threadwick_program_e2e(e2e.program run_program_test.py 240)

# Windows closed by a key thirty times over while busy processes load every
# core, and a display that does not answer: the program survives the one
# and says so at once for the other. Alone on the machine, as it loads every
# core itself.
threadwick_program_e2e(e2e.robustness run_robustness_test.py 300)

# The real program without a display: SIGTERM and SIGINT end it cleanly on
# the headless back end, a start clears what ended copies left, and a
# display that does not answer is refused at once. Needs no Xvfb.
add_test(NAME program.ending
  COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/run_ending_test.py $<TARGET_FILE:threadwick>)
set_tests_properties(program.ending PROPERTIES LABELS program TIMEOUT 120)

if(THREADWICK_SANITIZE)
  set_tests_properties(program.ending PROPERTIES ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0")
endif()

# Where the desktop decides, with no window manager: the splash above the
# main window, the keyboard back with the running copy after a second start,
# Alt+letter chords, and the toolbars' tips and prompts under the pointer.
threadwick_program_e2e(e2e.desktop run_desktop_test.py 240)

# A shirt design edited with the mouse and the keys on a real display:
# shapes drawn, moved, undone, selected and deleted; the zoom toggled; the
# context menu; the design window maximised by its box and its caption; the
# shapes saved and shown again after a restart.
threadwick_program_e2e(e2e.surface run_surface_test.py 300)
