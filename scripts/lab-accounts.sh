# Sourced by root-only tests (bash) that need a lab's accounts: a group and
# its members sharing one program folder (mode 2770), as the README sets up.
#
#   lab_accounts_setup PREFIX COUNT FOLDER   makes the group PREFIX, the users
#       PREFIX1..PREFIXCOUNT in it (PREFIX1 owns FOLDER, the service's account)
#       and FOLDER itself; returns 77 with the reason on stdout when it cannot
#       (not root, tools missing, a name taken already: nothing is changed).
#   lab_outsider NAME   makes the user NAME outside the group, with a group
#       of its own and a private home like the others' (after setup; 77 with
#       the reason when the name is taken).
#   lab_as USER COMMAND...   runs COMMAND as USER with Debian's default umask
#       022 (what a lab user's session has; the programs must share what they
#       make whatever the umask), HOME set to a private folder of that user
#       and no root left behind; COMMAND may start with NAME=VALUE words for
#       its environment.
#   lab_spawn OUTPUT USER COMMAND...   the same in the background, output to
#       the file OUTPUT; the program's own process id is left in $lab_pid.
#   lab_accounts_cleanup     removes what setup made (call it from a trap).

lab_accounts_group=
lab_accounts_users=()
lab_accounts_own_groups=()
lab_accounts_homes=

lab_accounts_setup() {
    local prefix=$1 count=$2 folder=$3 i
    [ "$(id -u)" -eq 0 ] || { echo "making accounts needs root"; return 77; }
    for tool in groupadd useradd userdel groupdel setpriv; do
        command -v "$tool" >/dev/null || { echo "$tool is not installed"; return 77; }
    done
    getent group "$prefix" >/dev/null && { echo "the group $prefix exists already"; return 77; }
    for i in $(seq "$count"); do
        getent passwd "$prefix$i" >/dev/null && { echo "the user $prefix$i exists already"; return 77; }
    done
    groupadd "$prefix"
    lab_accounts_group=$prefix
    lab_accounts_homes=$(mktemp -d /tmp/lab-homes.XXXXXX)
    chmod 755 "$lab_accounts_homes"
    for i in $(seq "$count"); do
        useradd --no-create-home --home-dir "$lab_accounts_homes/$prefix$i" --gid "$prefix" \
            --shell /usr/sbin/nologin "$prefix$i"
        lab_accounts_users+=("$prefix$i")
        install -d -o "$prefix$i" -g "$prefix" -m 700 "$lab_accounts_homes/$prefix$i"
    done
    install -d -o "${prefix}1" -g "$prefix" -m 2770 "$folder"
}

lab_outsider() {
    local name=$1
    getent passwd "$name" >/dev/null && { echo "the user $name exists already"; return 77; }
    getent group "$name" >/dev/null && { echo "the group $name exists already"; return 77; }
    useradd --no-create-home --home-dir "$lab_accounts_homes/$name" --user-group --shell /usr/sbin/nologin "$name"
    lab_accounts_users+=("$name")
    lab_accounts_own_groups+=("$name")
    install -d -o "$name" -g "$name" -m 700 "$lab_accounts_homes/$name"
}

lab_as() {
    local user=$1
    shift
    local home
    home=$(getent passwd "$user" | cut -d: -f6)
    (umask 022 && exec setpriv --reuid="$user" --regid="$(id -g "$user")" --init-groups --reset-env \
        env HOME="$home" XDG_RUNTIME_DIR="$home" PATH="${LAB_PATH:-$PATH}" "$@")
}

lab_pid=
lab_spawn() {
    local output=$1 user=$2
    shift 2
    local home
    home=$(getent passwd "$user" | cut -d: -f6)
    (umask 022 && exec setpriv --reuid="$user" --regid="$(id -g "$user")" --init-groups --reset-env \
        env HOME="$home" XDG_RUNTIME_DIR="$home" PATH="${LAB_PATH:-$PATH}" "$@") >"$output" 2>&1 &
    lab_pid=$!
}

lab_accounts_cleanup() {
    local user group
    for user in "${lab_accounts_users[@]}"; do
        userdel "$user" 2>/dev/null || true
    done
    for group in "${lab_accounts_own_groups[@]}"; do
        getent group "$group" >/dev/null && groupdel "$group" 2>/dev/null || true
    done
    [ -n "$lab_accounts_group" ] && groupdel "$lab_accounts_group" 2>/dev/null || true
    [ -n "$lab_accounts_homes" ] && rm -rf "$lab_accounts_homes"
    lab_accounts_users=()
    lab_accounts_own_groups=()
    lab_accounts_group=
}
