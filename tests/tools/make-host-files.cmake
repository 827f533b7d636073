# Lays out the folder the reference host's tests read: SAMPLE copied into a tree with an
# upper-case extension and a file to be skipped, and a damaged PNG on its own.
file(REMOVE_RECURSE ${FOLDER})
file(MAKE_DIRECTORY ${FOLDER}/photos/nested ${FOLDER}/bad)
file(COPY_FILE ${SAMPLE} ${FOLDER}/sample.jpg)
file(COPY_FILE ${SAMPLE} ${FOLDER}/photos/a.jpg)
file(COPY_FILE ${SAMPLE} ${FOLDER}/photos/nested/B.JPG)
file(WRITE ${FOLDER}/photos/notes.txt "not an image\n")
file(WRITE ${FOLDER}/bad/broken.png "not a png\n")
