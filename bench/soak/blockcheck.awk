# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: Verandix developers
# Reads the program's block trace ("GetDataInv address: A", "count: C", "data: "...""), decodes
# each block's bytes from their debug quoting and compares them with what the broken peer holds:
# register n reads as n, stored low byte first. Prints "TAKEN WRONG".
function hexval(c) { return index("0123456789abcdef", tolower(c)) - 1 }
function decode(s,    out, i, c, n) {
    n = 0
    for (i = 1; i <= length(s); ++i) {
        c = substr(s, i, 1)
        if (c == "\"") continue
        if (c == "\\") {
            c = substr(s, ++i, 1)
            if (c == "x") { bytes[n++] = hexval(substr(s, i + 1, 1)) * 16 + hexval(substr(s, i + 2, 1)); i += 2 }
            else if (c == "n") bytes[n++] = 10
            else if (c == "r") bytes[n++] = 13
            else if (c == "t") bytes[n++] = 9
            else if (c == "b") bytes[n++] = 8
            else if (c == "f") bytes[n++] = 12
            else if (c == "v") bytes[n++] = 11
            else if (c == "a") bytes[n++] = 7
            else bytes[n++] = ord[c]
            continue
        }
        bytes[n++] = ord[c]
    }
    return n
}
BEGIN { for (i = 32; i < 127; ++i) ord[sprintf("%c", i)] = i }
/GetDataInv address:/ { address = $NF + 0; next }
/^count:/ { count = $2 + 0; next }
/^data:/ {
    s = $0; sub(/^data: +/, "", s); sub(/ +$/, "", s)
    if (s == "\"\"") next
    taken++
    n = decode(s)
    ok = (n == count)
    for (k = 0; ok && k < n; k += 2) {
        r = address + k / 2
        if (bytes[k] != r % 256 || bytes[k + 1] != int(r / 256) % 256) ok = 0
    }
    if (!ok) wrong++
}
END { printf "%d %d\n", taken, wrong }
