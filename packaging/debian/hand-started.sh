# hand_started: the ids of the processes of the service program ($program)
# that no service manager started, on the old programs too (an executable
# that was replaced reads "... (deleted)"), separated by blanks.
hand_started() {
    for exe in /proc/[0-9]*/exe; do
        case "$(readlink "$exe" 2>/dev/null)" in
            "$program" | "$program (deleted)") pid=${exe#/proc/}; printf '%s ' "${pid%/exe}" ;;
        esac
    done
}
