#!/usr/bin/env bash
# Fails when a source file includes against the one-way order of the source folders:
#   store  <-  history  <-  ui  <-  the screen folders (editing, lists, rankings, gallery, maintenance, help)  <-  app
# A folder may include itself and any folder to its left; a screen folder never includes another screen folder.
# Usage: check_layers.sh [SRC_DIR]     check SRC_DIR (default: the project's src/)
#        check_layers.sh --self-test   prove the check passes on src/ and fails on planted wrong includes
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"

# Sets r to the folder's place in the order, -1 for a folder the order does not know.
rank() {
    case "$1" in
    store) r=0 ;;
    history) r=1 ;;
    ui) r=2 ;;
    editing | lists | rankings | gallery | maintenance | help) r=3 ;;
    app) r=4 ;;
    *) r=-1 ;;
    esac
}

check() {
    local src="$1" status=0 hit file text from target
    while IFS= read -r hit; do
        file="${hit%%:*}"
        text="${hit#*:}"
        text="${text#*:}"
        from="${file#"$src"/}"
        from="${from%%/*}"
        [[ "$text" =~ \"([^/\"]+)/ ]] && target="${BASH_REMATCH[1]}"
        [ "$from" = "$target" ] && continue
        rank "$from"
        local rf=$r
        rank "$target"
        local rt=$r
        if [ "$rf" -lt 0 ] || [ "$rt" -lt 0 ] || [ "$rt" -ge "$rf" ]; then
            echo "include against the folder order: ${hit#"$src"/}" >&2
            status=1
        fi
    done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]+/' "$src" --include='*.h' --include='*.cpp' || true)
    return $status
}

if [ "${1:-}" = "--self-test" ]; then
    check "$here/../src" || { echo "self-test: the tree itself breaks the order" >&2; exit 1; }
    tmp="$(mktemp -d)"
    trap 'rm -rf "$tmp"' EXIT
    plant() { # folder file include
        rm -rf "$tmp/src" && cp -r "$here/../src" "$tmp/src"
        mkdir -p "$tmp/src/$1"
        echo "#include \"$3\"" >>"$tmp/src/$1/$2"
        if check "$tmp/src" 2>/dev/null; then
            echo "self-test: #include \"$3\" in $1/$2 was not caught" >&2
            exit 1
        fi
    }
    plant ui MainPage.cpp "editing/widgets/MemoPanel.h"
    plant store DataFolder.cpp "ui/Dialogs.h"
    plant lists StatusList.h "editing/TitleInput.h"
    plant editing RecordEdits.cpp "app/MainWindow.h"
    plant ui logic/AppState.h "app/MainWindow.h"
    plant store CollectionStore.cpp "history/Thing.h"
    plant history Thing.cpp "ui/Dialogs.h"
    plant newarea Thing.cpp "store/TitleTable.h"
    echo "include order check: self-test passed"
    exit 0
fi

check "${1:-$here/../src}"
