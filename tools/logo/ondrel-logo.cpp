// Draws the editor's logo, "ondrel_logo.png": the product name beside a
// damped wave, light grey on a transparent ground. Run once; the picture is
// kept in data/Pictures and copied into the bundle.
//
//   ondrel-logo output.png
#include <cairo.h>

#include <cmath>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: ondrel-logo output.png\n");
        return 2;
    }
    const int width = 230, height = 56;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(surface);

    // A wave that fades out, as a plucked delay line does.
    cairo_set_source_rgba(cr, 16 / 255.0, 182 / 255.0, 97 / 255.0, 0.9);
    cairo_set_line_width(cr, 2.5);
    for (int x = 0; x <= 56; ++x) {
        double t = x / 56.0;
        double y = 28 - 18 * std::exp(-2.2 * t) * std::sin(t * 4 * M_PI);
        if (x == 0) cairo_move_to(cr, 4 + x, y);
        else cairo_line_to(cr, 4 + x, y);
    }
    cairo_stroke(cr);

    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, 36);
    cairo_set_source_rgb(cr, 192 / 255.0, 192 / 255.0, 192 / 255.0);
    cairo_move_to(cr, 68, 40);
    cairo_show_text(cr, "ondrel");

    cairo_destroy(cr);
    bool ok = cairo_surface_write_to_png(surface, argv[1]) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return ok ? 0 : 1;
}
