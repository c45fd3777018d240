# fish completion for kwl, the desktop program.
complete -c kwl -f
complete -c kwl -s h -l help -d 'show the help and exit'
complete -c kwl -l version -d 'show the version and exit'
