# Lays out DIR for the link test: DIR/outside holds "outside", and DIR/cwd/1
# is a symbolic link to it.
file(REMOVE_RECURSE ${DIR})
file(MAKE_DIRECTORY ${DIR}/cwd)
file(WRITE ${DIR}/outside "outside")
file(CREATE_LINK ${DIR}/outside ${DIR}/cwd/1 SYMBOLIC)
