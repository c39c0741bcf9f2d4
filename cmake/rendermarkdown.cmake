# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: Verandix developers
# cmake -DCMARK=cmark -DINPUT=page.md -DOUTPUT=page.html -DTITLE=... -P rendermarkdown.cmake
# Renders one Markdown page into a complete HTML page that a browser shows well on its own.
# --unsafe keeps the anchors the page links to (<a id="...">); the page is our own text.
execute_process(COMMAND ${CMARK} --unsafe --to html ${INPUT}
    OUTPUT_VARIABLE _body RESULT_VARIABLE _result)
if(NOT _result EQUAL 0)
    message(FATAL_ERROR "cmark failed on ${INPUT}")
endif()
set(_style "body{font-family:sans-serif;max-width:52em;margin:2em auto;padding:0 1em;line-height:1.45;color:#222}
code,pre{background:#f2f4f7;border-radius:3px}pre{padding:.6em;overflow:auto}
table{border-collapse:collapse}td,th{border:1px solid #ccd;padding:.2em .5em;vertical-align:top}
img{max-width:100%;border:1px solid #ccd}h1,h2,h3{color:#004d6d}")
file(WRITE ${OUTPUT} "<!DOCTYPE html>
<html lang=\"en\">
<head>
<meta charset=\"utf-8\">
<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">
<title>${TITLE}</title>
<style>${_style}</style>
</head>
<body>
${_body}</body>
</html>
")
