# Every target of ours compiles with the same strict warnings.
add_compile_options(-Wall -Wextra -Werror)
