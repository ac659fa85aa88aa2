// Draws the editor's logo, "ondrel_logo.png": the product name beside a
// damped wave, light grey on a transparent ground; with --maker the maker's
// small logo of the credits box, "zentorial_logo_3d_small.png": an extruded
// letter Z over the maker's name. Run once; the pictures are kept in
// data/Pictures and copied into the bundle.
//
//   ondrel-logo output.png
//   ondrel-logo --maker output.png
#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <string>

namespace {

// The letter Z as a closed outline, 36 units wide and high.
void zOutline(cairo_t* cr, double x, double y)
{
    const double p[][2] = {{0, 0}, {36, 0}, {36, 7}, {11, 29}, {36, 29}, {36, 36}, {0, 36}, {0, 29}, {25, 7}, {0, 7}};
    cairo_move_to(cr, x + p[0][0], y + p[0][1]);
    for (const auto& q : p) cairo_line_to(cr, x + q[0], y + q[1]);
    cairo_close_path(cr);
}

int drawMakerLogo(const char* output)
{
    const int width = 120, height = 64;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(surface);
    const double x = 42, y = 4;
    // The depth: the letter repeated up and to the right, darkening.
    for (int k = 6; k >= 1; --k) {
        const double shade = 0.25 + 0.03 * k;
        zOutline(cr, x + k, y - k * 0.5 + 3);
        cairo_set_source_rgb(cr, shade * 0.6, shade * 0.75, shade);
        cairo_fill(cr);
    }
    cairo_pattern_t* face = cairo_pattern_create_linear(0, y + 3, 0, y + 39);
    cairo_pattern_add_color_stop_rgb(face, 0, 0.55, 0.78, 1.0);
    cairo_pattern_add_color_stop_rgb(face, 1, 0.16, 0.40, 0.85);
    zOutline(cr, x, y + 3);
    cairo_set_source(cr, face);
    cairo_fill_preserve(cr);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.6);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_pattern_destroy(face);

    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, 15);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, "zentorial", &extents);
    cairo_move_to(cr, (width - extents.width) / 2 - extents.x_bearing, 59);
    cairo_set_source_rgb(cr, 0.85, 0.85, 0.80);
    cairo_show_text(cr, "zentorial");

    cairo_destroy(cr);
    bool ok = cairo_surface_write_to_png(surface, output) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "--maker") return drawMakerLogo(argv[2]);
    if (argc != 2) {
        std::fprintf(stderr, "usage: ondrel-logo [--maker] output.png\n");
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
        if (x == 0)
            cairo_move_to(cr, 4 + x, y);
        else
            cairo_line_to(cr, 4 + x, y);
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
