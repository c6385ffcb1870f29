# Entry point of the test executables: return 0 at once. Both spellings of the symbol, because the
# 32-bit and 64-bit Windows linkers decorate C names differently.
        .text
        .globl entry
        .globl _entry
entry:
_entry:
        xorl %eax, %eax
        ret
