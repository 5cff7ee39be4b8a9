# Common compile options for every target of the project.
add_compile_options(-Wall -Wextra -Wshadow)
if(PULTORA_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()
if(PULTORA_FUZZ)
    # Instrument all project code for coverage-guided fuzzing; the fuzz
    # drivers add -fsanitize=fuzzer themselves.
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
