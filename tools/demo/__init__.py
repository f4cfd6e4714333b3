"""The demo service's parts: data set, sign-in, pages and the HTTP handler."""
