# Builds one self-contained page from its parts and writes it into a C++ source as bytes.
# -DPAGE_DIR=folder with index.html, style.css, app.js, charts.js, league.js, car.svg  -DOUTPUT=the .cpp to write
file(READ ${PAGE_DIR}/index.html page)
file(READ ${PAGE_DIR}/style.css style)
file(READ ${PAGE_DIR}/app.js script)
file(READ ${PAGE_DIR}/charts.js charts)
file(READ ${PAGE_DIR}/league.js league)
file(READ ${PAGE_DIR}/car.svg car)
string(REPLACE "/*@STYLE@*/" "${style}" page "${page}")
string(REPLACE "/*@SCRIPT@*/" "${script}" page "${page}")
string(REPLACE "/*@CHARTS@*/" "${charts}" page "${page}")
string(REPLACE "/*@LEAGUE@*/" "${league}" page "${page}")
string(REPLACE "<!--@CAR@-->" "${car}" page "${page}")
get_filename_component(output_dir ${OUTPUT} DIRECTORY)
file(WRITE ${output_dir}/page.html "${page}")
file(READ ${output_dir}/page.html bytes HEX)
string(LENGTH "${bytes}" hex_length)
math(EXPR size "${hex_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${bytes}")
file(WRITE ${OUTPUT}.tmp "// Generated from src/web/page/ by cmake/EmbedPage.cmake.\n#include \"web/page.h\"\n\n"
  "namespace velmora::web {\nnamespace {\nconstexpr char kPage[${size}] = {${bytes}};\n}  // namespace\n\n"
  "std::string_view Page() {\n  return {kPage, sizeof kPage};\n}\n\n}  // namespace velmora::web\n")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
