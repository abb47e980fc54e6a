# Headless Chromium off the network, for the pages' checks in a browser.
# Sourced after setting: work (a folder for the browser's profiles),
# check_page (the page's check, a script that sets window.pageCheck; with
# page-check-frame.js it writes its verdict into <pre id="check-verdict">) and
# window (width,height).
command -v chromium >/dev/null || { echo "chromium is not installed (./run installs it)" >&2; exit 1; }

browse() { # what-to-do page...
    local profile
    profile=$(mktemp -d "$work/profile.XXXXXX")
    timeout 120 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
        --disable-background-networking --disable-component-update --disable-sync \
        --proxy-server=127.0.0.1:9 --host-resolver-rules="MAP * ~NOTFOUND" \
        --user-data-dir="$profile" --hide-scrollbars --window-size="$window" "$@" 2>"$profile.log"
}

# What a page says of itself once the check is put into a copy of it.
verdict() { # page
    { echo '<script>'; cat "$(dirname "${BASH_SOURCE[0]}")/page-check-frame.js" "$check_page"; echo '</script>'; } >"$1.check-script"
    sed "/<head>/r $1.check-script" "$1" > "$1.check.html"
    browse --dump-dom "file://$1.check.html" > "$1.dom"
    sed -n 's/.*<pre id="check-verdict"[^>]*>\([^<]*\).*/\1/p' "$1.dom"
}

expect_pass() { # page what
    local said
    said=$(verdict "$1")
    if [ "$said" != "CHECK PASSED" ]; then
        echo "FAIL: $2: ${said:-no verdict}" >&2
        exit 1
    fi
    echo "ok: $2"
}
