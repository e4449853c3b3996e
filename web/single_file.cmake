# SPDX-License-Identifier: GPL-3.0-or-later
# Puts the classic page, its style, its script, the diagram and the
# WebAssembly module (already inside its JavaScript) into one HTML file
# that works when opened from disk.
file(READ ${PAGE} page)
file(READ ${STYLE} style)
file(READ ${SCRIPT} script)
file(READ ${MODULE} module)
file(READ ${DIAGRAM} diagram HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "%\\1" diagram "${diagram}")
string(REPLACE "<link rel=\"stylesheet\" href=\"site.css\">" "<style>\n${style}</style>" page "${page}")
string(REPLACE "<link rel=\"preload\" href=\"vostrel.wasm\" as=\"fetch\" type=\"application/wasm\" crossorigin>\n" "" page "${page}")
string(REPLACE "<script src=\"vostrel.js\"></script>" "<script>\n${module}</script>" page "${page}")
string(REPLACE "<script src=\"classic.js\" defer></script>" "" page "${page}")
string(REPLACE "</body>" "<script>\n${script}</script>\n</body>" page "${page}")
string(REPLACE "href=\"diagram.svg\"" "href=\"data:image/svg+xml,${diagram}\"" page "${page}")
file(WRITE ${OUT} "${page}")
