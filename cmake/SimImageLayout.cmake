# The memory layout of a Windows velmora-sim: linked at the fixed image base 0x400000 of the 32-bit
# simulators, with the zero-filled section .simdata placed first, right after the headers, so that it
# covers every address the tables name (0x7C1A4C up to the last driver record and the weather near
# 0x116D520). The code follows it.
set(VELMORA_SIM_IMAGE_BASE 0x400000 CACHE INTERNAL "")
set(VELMORA_SIM_IMAGE_DATA_SIZE 0xFFF000 CACHE INTERNAL "")  # 0x401000 up to 0x1400000

# The linker's own default script with the section put before .text.
execute_process(COMMAND ${CMAKE_LINKER} --verbose OUTPUT_VARIABLE _velmora_ld_verbose RESULT_VARIABLE _velmora_ld_result)
string(FIND "${_velmora_ld_verbose}" "==================================================" _velmora_ld_first)
string(FIND "${_velmora_ld_verbose}" "==================================================" _velmora_ld_last REVERSE)
if(NOT _velmora_ld_result EQUAL 0 OR _velmora_ld_first LESS 0 OR _velmora_ld_last LESS_EQUAL _velmora_ld_first)
  message(FATAL_ERROR "cannot read the default linker script of ${CMAKE_LINKER}")
endif()
math(EXPR _velmora_ld_begin "${_velmora_ld_first} + 50")
math(EXPR _velmora_ld_length "${_velmora_ld_last} - ${_velmora_ld_begin}")
string(SUBSTRING "${_velmora_ld_verbose}" ${_velmora_ld_begin} ${_velmora_ld_length} _velmora_ld_script)
set(_velmora_text_line
    "  .text  __image_base__ + ( __section_alignment__ < 0x1000 ? . : __section_alignment__ ) :")
string(FIND "${_velmora_ld_script}" "${_velmora_text_line}" _velmora_text_at)
if(_velmora_text_at LESS 0)
  message(FATAL_ERROR "the default linker script of ${CMAKE_LINKER} has no .text section where expected")
endif()
string(REPLACE "${_velmora_text_line}"
  "  .simdata __image_base__ + __section_alignment__ : { *(.simdata) }\n  . = ALIGN(__section_alignment__);\n  .text  . :"
  _velmora_ld_script "${_velmora_ld_script}")
set(VELMORA_SIM_LINKER_SCRIPT ${CMAKE_BINARY_DIR}/velmora_sim_image.ld CACHE INTERNAL "")
file(WRITE ${VELMORA_SIM_LINKER_SCRIPT} "${_velmora_ld_script}")

function(velmora_sim_image_layout target)
  target_link_options(${target} PRIVATE
    -Wl,--image-base=${VELMORA_SIM_IMAGE_BASE} -Wl,--disable-dynamicbase -Wl,--disable-high-entropy-va
    -Wl,-T,${VELMORA_SIM_LINKER_SCRIPT})
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${VELMORA_SIM_LINKER_SCRIPT})
endfunction()
