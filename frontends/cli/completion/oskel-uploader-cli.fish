# fish completion for oskel-uploader-cli: commands, options and their values,
# and for upload the program files of the folder (--folder, else the current
# folder). Reads no settings and never touches the camera.

function __oskel_uploader_cli_programs
    set -l tokens (commandline -opc)
    set -l folder .
    for i in (seq (count $tokens))
        switch $tokens[$i]
            case '--folder=*'
                set folder (string replace -- '--folder=' '' $tokens[$i])
            case --folder
                if test $i -lt (count $tokens)
                    set folder $tokens[(math $i + 1)]
                end
        end
    end
    for file in $folder/*
        if test -f $file; and string match -qir '\.(fnc|atc)$' -- $file
            string replace -r '.*/' '' -- $file
        end
    end
end

set -l commands probe about list ports upload remove
complete -c oskel-uploader-cli -f
complete -c oskel-uploader-cli -n "not __fish_seen_subcommand_from $commands" -a probe -d 'port, speed, model and family'
complete -c oskel-uploader-cli -n "not __fish_seen_subcommand_from $commands" -a about -d "the camera's id and version"
complete -c oskel-uploader-cli -n "not __fish_seen_subcommand_from $commands" -a list -d 'folder and camera applications'
complete -c oskel-uploader-cli -n "not __fish_seen_subcommand_from $commands" -a ports -d 'the serial ports, opening none'
complete -c oskel-uploader-cli -n "not __fish_seen_subcommand_from $commands" -a upload -d 'upload folder applications'
complete -c oskel-uploader-cli -n "not __fish_seen_subcommand_from $commands" -a remove -d 'erase camera applications'
complete -c oskel-uploader-cli -n "__fish_seen_subcommand_from upload" -a '(__oskel_uploader_cli_programs)'

complete -c oskel-uploader-cli -l device -r -F -d 'open this serial device'
complete -c oskel-uploader-cli -l port -x -a 'COM1 COM2 COM3 COM4 COM5 COM6 COM7 COM8 COM9 COM10 auto' -d 'port'
complete -c oskel-uploader-cli -l speed -x -a '9600 19200 38400 57600 115200 230400 auto' -d 'line speed'
complete -c oskel-uploader-cli -l folder -x -a '(__fish_complete_directories)' -d 'program folder for this run'
complete -c oskel-uploader-cli -l wait -d 'wait for the camera (--wait=SECONDS: at most so long)'
complete -c oskel-uploader-cli -s y -l yes -d 'answer Yes to every question'
complete -c oskel-uploader-cli -l no -d 'answer No to every Yes/No question'
complete -c oskel-uploader-cli -l cancel -d 'answer Cancel to every question'
complete -c oskel-uploader-cli -l accept-older-models -d 'admit cameras of families 1 to 3'
complete -c oskel-uploader-cli -l accept-unknown-models -d 'admit cameras of an unknown model'
complete -c oskel-uploader-cli -l json -d 'machine-readable output'
complete -c oskel-uploader-cli -s q -l quiet -d 'no progress display'
complete -c oskel-uploader-cli -s h -l help -d 'show the help'
complete -c oskel-uploader-cli -s V -l version -d 'show the version'
