# cmake -DGOLDEN=<committed> -DBUILT=<written by the build> -DBUILD=<build folder> -P compare_facts.cmake
# Passes when the two are the same; otherwise prints the difference as a
# unified diff, and the command that accepts it.
if(NOT EXISTS "${BUILT}")
    message(FATAL_ERROR "${BUILT} is missing: cmake --build ${BUILD} --target poroten_game_facts")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${GOLDEN}" "${BUILT}"
                RESULT_VARIABLE differs)
if(NOT differs)
    return()
endif()
find_program(DIFF diff)
if(DIFF)
    execute_process(COMMAND ${DIFF} -u --label "${GOLDEN}" --label "${BUILT}" "${GOLDEN}" "${BUILT}"
                    OUTPUT_VARIABLE difference)
else()
    set(difference "(no diff program: compare ${GOLDEN} with ${BUILT})\n")
endif()
message("The game's facts differ from the committed ones (- committed, + this build):\n"
        "${difference}\n"
        "If each change is meant, accept them and commit the file with the change:\n"
        "  cmake --build ${BUILD} --target update_game_facts")
message(FATAL_ERROR "the game's facts changed")
