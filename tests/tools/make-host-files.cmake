# Lays out the folder the reference host's tests read: SAMPLE copied into a tree with an
# upper-case extension and a file to be skipped, and a damaged PNG on its own.
file(REMOVE_RECURSE ${FOLDER})
file(MAKE_DIRECTORY ${FOLDER}/photos/nested ${FOLDER}/bad)
file(COPY_FILE ${SAMPLE} ${FOLDER}/sample.jpg)
file(COPY_FILE ${SAMPLE} ${FOLDER}/photos/a.jpg)
file(COPY_FILE ${SAMPLE} ${FOLDER}/photos/nested/B.JPG)
file(WRITE ${FOLDER}/photos/notes.txt "not an image\n")
file(WRITE ${FOLDER}/bad/broken.png "not a png\n")
# Linux only: what else a folder may hold under an image's name (a FIFO, a socket, a link to a
# device), and images whose names are not UTF-8 (a Latin-1 byte, a cut multi-byte sequence).
if(SPECIAL)
    file(MAKE_DIRECTORY ${FOLDER}/special ${FOLDER}/legacy)
    execute_process(COMMAND mkfifo pipe.bmp WORKING_DIRECTORY ${FOLDER}/special
                    COMMAND_ERROR_IS_FATAL ANY)
    file(CREATE_LINK /dev/null ${FOLDER}/special/null.gif SYMBOLIC)
    execute_process(
        COMMAND perl -MIO::Socket::UNIX -e
            "IO::Socket::UNIX->new(Local => 'socket.png', Listen => 1) or die $!"
        WORKING_DIRECTORY ${FOLDER}/special COMMAND_ERROR_IS_FATAL ANY)
    execute_process(
        COMMAND sh -c "cp \"$1\" \"$(printf 'lat\\351in.jpg')\" && cp \"$1\" \"$(printf 'cut-\\342\\202.jpg')\""
            sh ${SAMPLE}
        WORKING_DIRECTORY ${FOLDER}/legacy COMMAND_ERROR_IS_FATAL ANY)
endif()
