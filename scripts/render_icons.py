#!/usr/bin/env python3
"""Renders packaging/kivoautofill.svg into the PNG sizes in packaging/icons/.

The PNGs are committed, so neither the build nor the program needs an SVG renderer; run this
after changing the SVG. Uses librsvg and cairo through ctypes (librsvg2-2, libcairo2).
"""
import ctypes
import pathlib
import sys

SIZES = (16, 24, 32, 48, 64, 128, 256)


class Viewport(ctypes.Structure):
    _fields_ = [(n, ctypes.c_double) for n in ("x", "y", "width", "height")]


def main() -> int:
    root = pathlib.Path(__file__).resolve().parent.parent / "packaging"
    rsvg = ctypes.CDLL("librsvg-2.so.2")
    cairo = ctypes.CDLL("libcairo.so.2")
    rsvg.rsvg_handle_new_from_file.restype = ctypes.c_void_p
    rsvg.rsvg_handle_new_from_file.argtypes = [ctypes.c_char_p, ctypes.c_void_p]
    rsvg.rsvg_handle_render_document.argtypes = [ctypes.c_void_p, ctypes.c_void_p,
                                                  ctypes.POINTER(Viewport), ctypes.c_void_p]
    cairo.cairo_image_surface_create.restype = ctypes.c_void_p
    cairo.cairo_create.restype = ctypes.c_void_p
    cairo.cairo_create.argtypes = [ctypes.c_void_p]
    cairo.cairo_destroy.argtypes = [ctypes.c_void_p]
    cairo.cairo_surface_destroy.argtypes = [ctypes.c_void_p]
    cairo.cairo_surface_write_to_png.argtypes = [ctypes.c_void_p, ctypes.c_char_p]

    handle = rsvg.rsvg_handle_new_from_file(str(root / "kivoautofill.svg").encode(), None)
    if not handle:
        print("cannot read kivoautofill.svg", file=sys.stderr)
        return 1
    for size in SIZES:
        argb32 = 0
        surface = cairo.cairo_image_surface_create(argb32, size, size)
        cr = cairo.cairo_create(surface)
        if not rsvg.rsvg_handle_render_document(handle, cr, ctypes.byref(Viewport(0, 0, size, size)), None):
            print(f"cannot render {size} px", file=sys.stderr)
            return 1
        out = root / "icons" / f"kivoautofill-{size}.png"
        if cairo.cairo_surface_write_to_png(surface, str(out).encode()) != 0:
            print(f"cannot write {out}", file=sys.stderr)
            return 1
        cairo.cairo_destroy(cr)
        cairo.cairo_surface_destroy(surface)
    return 0


if __name__ == "__main__":
    sys.exit(main())
