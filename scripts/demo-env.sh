# Sourced by run.sh, and by the tests of the demo's road: the environment in
# which the demo's programs find the stand-ins of the vendor components (a
# normal installation never does): the component plug-in and the Jet
# programs. The client gets the same as the service, so that its Task Editor
# offers every import filter the service can run.
#
#   source scripts/demo-env.sh BIN_FOLDER      (build/bin, as an absolute path)
demo_bin=${1:?usage: source scripts/demo-env.sh BIN_FOLDER}
export TAVREL_AUTOMATION_PLUGINS=$demo_bin/standins/libtavrel-standins.so
export PATH=$demo_bin/standins/mdbtools:$PATH
unset demo_bin
