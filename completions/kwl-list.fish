# fish completion for kwl-list.

function __kwl_list_kinds
    printf '%s\t%s\n' \
        listing 'the indented listing, tabs between columns' \
        text 'no indentation, the separator between columns' \
        html 'an HTML page whose table draws the tree' \
        json 'the whole tree for programs' \
        html-app 'a browsable, searchable HTML page'
end

function __kwl_list_languages
    printf '%s\t%s\n' en English de German
end

function __kwl_list_hashes
    printf '%s\t%s\n' sha256 SHA-256 xxh128 'XXH3 128-bit'
end

complete -c kwl-list -f
complete -c kwl-list -a '(__fish_complete_directories (commandline -ct))'
complete -c kwl-list -s r -l recursive -d 'scan and list subdirectories recursively'
complete -c kwl-list -s f -l format -x -d 'format line'
complete -c kwl-list -s e -l export -x -a '(__kwl_list_kinds)' -d 'what to write'
complete -c kwl-list -s s -l separator -x -d 'column separator of the text export, not the quote'
complete -c kwl-list -l bom -d 'text export: start with the UTF-8 byte order mark'
complete -c kwl-list -l raw-fields -d 'text export: fields that begin like a formula as they are'
complete -c kwl-list -s l -l language -x -a '(__kwl_list_languages)' -d 'language of the heading words'
complete -c kwl-list -s o -l output -r -F -d 'write to FILE instead of standard output'
complete -c kwl-list -s j -l threads -x -d 'read directories on N threads'
complete -c kwl-list -l hash -x -a '(__kwl_list_hashes)' -d 'content hashes of regular files (json, --compare)'
complete -c kwl-list -l compare -r -F -d 'compare DIRECTORY with SNAPSHOT'
complete -c kwl-list -l exclude -x -d 'leave out the entries that PATTERN matches'
complete -c kwl-list -l exclude-from -r -F -d 'the patterns of FILE, one a line'
complete -c kwl-list -l ignore-case -d 'patterns match ASCII letters in either case'
complete -c kwl-list -l no-hidden -d 'leave out names that begin with .'
complete -c kwl-list -s x -l one-file-system -d 'do not enter other file systems'
complete -c kwl-list -l max-depth -x -d 'list N levels (1 or more), implies -r'
complete -c kwl-list -l progress -d 'live count of entries read, on standard error'
complete -c kwl-list -s h -l help -d 'show the usage and exit'
complete -c kwl-list -l version -d 'show the version and exit'
