# The whole program on a real display: build/bin/threadwick under Xvfb with
# the SDL back end, from the splash to a new shirt design, checked by a
# screenshot of each stage. Skipped (77) where Xvfb, xdotool or ImageMagick
# are missing.
add_test(NAME e2e.program
  COMMAND /usr/bin/python3 ${CMAKE_CURRENT_LIST_DIR}/run_program_test.py $<TARGET_FILE:threadwick>)
# Alone on the machine: the splash lives for a second and a half, and a
# loaded machine's screenshots can take longer than that.
set_tests_properties(e2e.program PROPERTIES LABELS e2e TIMEOUT 240 SKIP_RETURN_CODE 77 RUN_SERIAL TRUE)

# Under the sanitizers, the display libraries SDL loads (X11, D-Bus) keep
# allocations for the life of the process that no code of ours can free.
if(THREADWICK_SANITIZE)
  set_tests_properties(e2e.program PROPERTIES ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0")
endif()
